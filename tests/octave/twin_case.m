function c = twin_case(args, nout, kinds)
% TWIN_CASE  One call of a module and its twin: the valid argument list args
% (what each position holds in kinds: 'scalar', 'bytes', 'doubles', 'field',
% 'index', 'any'), requested outputs nout. Two calls in three are kept valid;
% the others get one bad input or a wrong argument count. c.rule names the
% input rule a bad input relies on when the compiled frame may predate it:
% 'notNumeric' (a cell, struct or function handle read as bytes), 'complex'
% (a complex array read as real doubles), else ''.
  c = struct('args', {args}, 'nout', nout, 'rule', '');
  roll = rand();
  if roll < 2 / 3
    return;
  end
  if roll > 0.93
    % Wrong counts: an input more or fewer, an output more or fewer.
    switch twin_randi(4)
      case 1
        c.args{end + 1} = 1;
      case 2
        c.args(end) = [];
      case 3
        c.nout = nout + 1;
      case 4
        c.nout = nout - 1;
    end
    return;
  end
  p = twin_randi(numel(args));
  x = args{p};
  switch kinds{p}
    case 'any'
      return;
    case 'scalar'
      bad = {[], {1}, 'a', sparse(1), complex(1, 2), struct('a', 1), @sin, zeros(0, 3)};
    case 'bytes'
      bad = {{1}, struct('a', 1), @sin, sparse(double(x)), shorten(x), int8([])};
    case 'index'
      bad = {set_one(x, 0), set_one(x, -1), set_one(x, NaN), set_one(x, Inf), ...
             set_one(x, 1e10), set_one(x, 0.5), shorten(x), int32(x), sparse(x), complex(x)};
    otherwise  % 'doubles', 'field'
      bad = {shorten(x), single(x), int8(x), logical(x ~= 0), sparse(x(:, :)), complex(x), {x}, ...
             x(:, :, 1:min(end, 1))};
  end
  x = bad{twin_randi(numel(bad))};
  c.args{p} = x;
  if iscell(x) || isstruct(x) || isa(x, 'function_handle')
    if strcmp(kinds{p}, 'bytes')
      c.rule = 'notNumeric';
    end
  elseif isnumeric(x) && ~isreal(x)
    c.rule = 'complex';
  end
end

function x = shorten(x)
  % One element fewer, as a row (or unchanged when empty).
  if ~isempty(x)
    x = x(1:end - 1);
  end
end

function x = set_one(x, value)
  % One random entry set to value.
  if ~isempty(x)
    x(twin_randi(numel(x))) = value;
  end
end
