function kernel_fail(module, reason, format, varargin)
% KERNEL_FAIL  Ends the call with the error <module>:<reason> and the message
% sprintf(format, ...), as the compiled modules do. (Octave shows a compiled
% module's message after "<module>: "; the twins give the message alone, as
% MATLAB shows it.)
  error([module ':' reason], '%s', sprintf(format, varargin{:}));
end
