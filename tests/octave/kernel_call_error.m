function [identifier, printed, message] = kernel_call_error(name, nout, varargin)
% KERNEL_CALL_ERROR  Call a module with nout outputs, expecting it to end in an
% error. Returns the error's identifier, what the module printed before it, and
% the error message. Fails if the call succeeds.
  old = cd(kernel_folder(name));
  restore = onCleanup(@() cd(old));
  outputs = cell(1, nout);
  identifier = '';
  message = '';
  failed = false;
  function run_it()
    try
      if nout == 0
        feval(name, varargin{:});
      else
        [outputs{1:nout}] = feval(name, varargin{:});
      end
    catch err
      failed = true;
      identifier = err.identifier;
      message = err.message;
    end
  end
  printed = evalc('run_it()');
  if ~failed
    error('kernel_call_error:noError', '%s did not end in an error', name);
  end
end
