function kernel_check_counts(module, inputs, outputs, nin, nout)
% KERNEL_CHECK_COUNTS  The argument-count diagnostics of a module's twin, as
% its compiled gateway makes them: a wrong input count prints
%   Matlab:<module>.cpp:InvalidNumberInput,
%   <inputs> inputs required.
% a wrong output count prints
%   Matlab:<module>.cpp:InvalidNumberOutput,
% (inputs first when both are wrong), then the call ends with the error
% <module>:invalidNumberOfInputs or <module>:invalidNumberOfOutputs. A
% one-output module called with no output and the right inputs only prints the
% line and runs (its result becomes ans).
%
%   kernel_check_counts(module, inputs, outputs, nargin, nargout)
  inputsWrong = nin ~= inputs;
  outputsWrong = nout ~= outputs;
  if inputsWrong
    fprintf('Matlab:%s.cpp:InvalidNumberInput,\n', module);
    fprintf('%d inputs required.\n', inputs);
  end
  if outputsWrong
    fprintf('Matlab:%s.cpp:InvalidNumberOutput,\n', module);
  end
  if inputsWrong
    kernel_fail(module, 'invalidNumberOfInputs', '%s requires %d inputs; %d were given.', ...
                module, inputs, nin);
  end
  if outputsWrong && ~(nout == 0 && outputs == 1)
    kernel_fail(module, 'invalidNumberOfOutputs', '%s returns %d outputs; %d were requested.', ...
                module, outputs, nout);
  end
end
