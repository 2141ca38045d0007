function [printed, varargout] = kernel_call_printed(name, varargin)
% KERNEL_CALL_PRINTED  Call a module and also return what it printed.
  old = cd(kernel_folder(name));
  restore = onCleanup(@() cd(old));
  outputs = cell(1, max(nargout - 1, 0));
  function run_it()
    if isempty(outputs)
      feval(name, varargin{:});
    else
      [outputs{:}] = feval(name, varargin{:});
    end
  end
  printed = evalc('run_it()');
  varargout = outputs;
end
