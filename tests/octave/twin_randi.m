function r = twin_randi(range, varargin)
% TWIN_RANDI  randi(range, dims...) from rand alone: uniform integers in
% 1..range or range(1)..range(2). (Octave's randi costs more than all the
% module calls of the differential test together.)
  if isscalar(range)
    range = [1, range];
  end
  if isempty(varargin)
    varargin = {1};
  end
  r = range(1) + floor((range(2) - range(1) + 1) * rand(varargin{:}));
end
