function twin_compare(module, calls, comparison)
% TWIN_COMPARE  Runs `calls` random calls of a compiled module and of its twin
% and fails, listing every case with its seed, where they differ. See
% test_twins.m.
  root = fileparts(fileparts(fileparts(mfilename('fullpath'))));
  addpath(fullfile(root, 'mframe'));
  base = str2double(getenv('TWIN_SEED'));
  if isnan(base)
    base = floor(mod(now() * 86400 * 1000, 2^31));
  end
  seeds = base + (0:calls - 1);
  % Input rules the compiled frame may not have yet: their cases are left out
  % until it does (a function handle read as bytes can even bring Octave down).
  frame = fileread(fullfile(root, 'frame', 'gateway.cpp'));
  rules = {'notNumeric', 'complex'; 'notNumeric', 'mxIsComplex'};
  missing = rules(1, cellfun(@isempty, strfind(frame, rules(2, :))));
  cases = cell(1, calls);
  skipped = 0;
  for i = 1:calls
    rand('state', seeds(i));
    randn('state', seeds(i));
    cases{i} = feval(['twin_case_' module]);
    if any(strcmp(cases{i}.rule, missing))
      cases{i}.args = {};
      cases{i}.nout = 0;
      skipped = skipped + 1;
    end
  end
  % The twins give the messages of a frame with these rules; an older frame
  % words these reasons otherwise.
  unsettled = {};
  if ~isempty(missing)
    unsettled = {'invalidScalar', 'notDouble'};
  end
  if skipped > 0
    fprintf('        %s: %d calls left out, the compiled frame lacks %s\n', module, skipped, ...
            strjoin(missing, ', '));
  end

  % The compiled module, from its private folder.
  folder = kernel_folder(module);
  old = cd(folder);
  restore = onCleanup(@() cd(old));
  % Octave resolves a name again only after it is cleared, not on a change of
  % folder alone.
  clear(module);
  found = which(module);
  if isempty(regexp(found, '\.mex\w*$', 'once'))
    error('twin_compare:notBuilt', '%s: no compiled module in %s (found "%s")', module, folder, found);
  end
  compiled = cellfun(@(c) twin_call(module, c.args, c.nout), cases);

  % The twin, from a copy of its file in a folder of its own.
  copy = tempname();
  mkdir(copy);
  removeCopy = onCleanup(@() rmdir(copy, 's'));
  copyfile(fullfile(folder, [module '.m']), copy);
  cd(copy);
  clear(module);
  if ~strcmp(which(module), fullfile(copy, [module '.m']))
    error('twin_compare:noTwin', '%s: the twin copy in %s is not the one called', module, copy);
  end
  twin = cellfun(@(c) twin_call(module, c.args, c.nout), cases);
  bounds = cell(1, calls);
  if strcmp(comparison, 'edge')
    bounds = cellfun(@(c, r) edge_bound(module, c, r), cases, num2cell(twin), 'UniformOutput', false);
  end
  cd(folder);
  clear(module);

  problems = {};
  for i = 1:calls
    what = differences(module, compiled(i), twin(i), unsettled);
    if isempty(what)
      what = output_differences(compiled(i).outputs, twin(i).outputs, bounds{i});
    end
    if ~isempty(what)
      problems{end + 1} = sprintf('%s, seed %d: %s', module, seeds(i), what); %#ok<AGROW>
      fprintf('        %s\n', problems{end});
    end
  end
  if ~isempty(problems)
    error('twin_compare:differs', '%s: %d of %d calls differ (seed %d first)', module, numel(problems), ...
          calls, base);
  end
end

function what = differences(module, compiled, twin, unsettled)
  % Printed lines, error identifier and message (Octave puts "<module>: "
  % before a compiled module's message; the twin's message has no prefix),
  % except the messages of the reasons in `unsettled`.
  what = '';
  message = regexprep(compiled.message, ['^' module ': '], '');
  reason = regexprep(twin.identifier, '^[^:]*:', '');
  if ~strcmp(compiled.printed, twin.printed)
    what = sprintf('printed "%s" against "%s"', compiled.printed, twin.printed);
  elseif ~strcmp(compiled.identifier, twin.identifier)
    what = sprintf('error "%s" (%s) against "%s" (%s)', compiled.identifier, message, twin.identifier, ...
                   twin.message);
  elseif ~strcmp(message, twin.message) && ~any(strcmp(reason, unsettled))
    what = sprintf('message "%s" against "%s"', message, twin.message);
  elseif numel(compiled.outputs) ~= numel(twin.outputs)
    what = sprintf('%d outputs against %d', numel(compiled.outputs), numel(twin.outputs));
  end
end

function what = output_differences(a, b, bound)
  % Same class and extents; then bit for bit, NaN payloads aside, or, given a
  % bound, within it where both are finite and the same value elsewhere.
  what = '';
  for o = 1:numel(a)
    x = a{o};
    y = b{o};
    if ~strcmp(class(x), class(y)) || ~isequal(size(x), size(y))
      what = sprintf('output %d: %s %s against %s %s', o, class(x), mat2str(size(x)), class(y), ...
                     mat2str(size(y)));
      return;
    end
    x = double(x(:));
    y = double(y(:));
    same = x == y | (isnan(x) & isnan(y));
    if isempty(bound)
      bad = ~same | (~isnan(x) & typecast(x, 'uint64') ~= typecast(y, 'uint64'));
    else
      finite = isfinite(x) & isfinite(y);
      bad = (finite & ~(abs(x - y) <= bound(:))) | (~finite & ~same);
    end
    differ = find(bad, 1);
    if ~isempty(differ)
      what = sprintf('output %d entry %d: %.17g against %.17g', o, differ, x(differ), y(differ));
      return;
    end
  end
end

function bound = edge_bound(module, c, r)
  % The edge modules' result is (inverseMassMatrix*s)./jacobian, s the
  % gathered face terms. The twin called with an identity inverse mass matrix
  % and a unit Jacobian gives s exactly; a product formed in any order then
  % lies within a few units of rounding of |inverseMassMatrix|*|s| ./ |jacobian|.
  bound = [];
  if ~isempty(r.identifier) || isempty(r.outputs)
    return;
  end
  jacobian = c.args{7};
  dims = size(jacobian);
  Np = dims(1);
  K = prod(dims(2:end));
  args = c.args;
  args{1} = eye(Np);
  args{7} = ones(Np, K);
  gathered = twin_call(module, args, 1);
  if ~isempty(gathered.identifier)
    error('twin_compare:bound', '%s: %s', gathered.identifier, gathered.message);
  end
  s = gathered.outputs{1};
  Nfield = size(s, 3);
  inverseMass = reshape(c.args{1}(1:Np * Np), Np, Np);
  jacobian = reshape(jacobian, Np, K);
  bound = reshape(abs(inverseMass) * reshape(abs(s), Np, K * Nfield), Np, K, Nfield) ./ abs(jacobian);
  bound = (2 * Np + 4) * eps * bound;
end
