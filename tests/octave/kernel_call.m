function varargout = kernel_call(name, varargin)
% KERNEL_CALL  Call a built module from its private folder, as its class would.
%   [a, b] = kernel_call(name, inputs...) returns as many outputs as requested.
  old = cd(kernel_folder(name));
  restore = onCleanup(@() cd(old));
  [varargout{1:nargout}] = feval(name, varargin{:});
end
