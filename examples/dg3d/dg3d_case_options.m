function [c, solver] = dg3d_case_options(name, c, opts)
% DG3D_CASE_OPTIONS  Case settings c (a struct of defaults) overridden by the
% fields of opts (a struct, or [] for none); a field that is neither a case
% setting nor an option of dg3d_options is an error. solver: the solver
% options given in c.solver and opts (dg3d_options form, name/value cell).
  if nargin < 3 || isempty(opts)
    opts = struct();
  end
  if ~isstruct(opts)
    error([name ':opts'], 'opts must be a struct of settings.');
  end
  known = fieldnames(dg3d_options());
  solver = c.solver;
  c = rmfield(c, 'solver');
  % Each given setting: the case's own, or a solver option passed on.
  for f = fieldnames(opts)'
    if isfield(c, f{1})
      c.(f{1}) = opts.(f{1});
    elseif any(strcmp(known, f{1}))
      solver = [solver, {f{1}, opts.(f{1})}];
    else
      error([name ':option'], 'Unknown setting %s.', f{1});
    end
  end
end
