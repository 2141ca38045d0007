function path_absolute()
% PATH_ABSOLUTE  Make the relative folders on the load path absolute (those
% added as, say, addpath examples/dg2d from the repository root), keeping
% their places. The solvers change folder for a moment to take handles to
% the compiled modules; Octave would then no longer find a relative folder,
% warn and drop it from the path.
  entries = strsplit(path(), pathsep);
  relative = ~cellfun(@isempty, entries) & ~strcmp(entries, '.') & ...
             cellfun(@isempty, regexp(entries, '^([/\\]|[A-Za-z]:[/\\]|~)', 'once'));
  relative(relative) = cellfun(@(e) exist(e, 'dir') == 7, entries(relative));
  if any(relative)
    entries(relative) = cellfun(@(e) fullfile(pwd(), e), entries(relative), 'UniformOutput', false);
    path(strjoin(entries, pathsep));
  end
end
