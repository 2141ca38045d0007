function settings = output_options(output, finalTime)
% OUTPUT_OPTIONS  Check a solver's output option and complete it, before any
% work: a struct with fields (all optional)
%   netcdf  file name of the NetCDF file ('' for none)
%   vtk     path prefix of the VTK files: <vtk>.pvd and <vtk>_0000.vtu, ...
%           ('' for none)
%   every   seconds between outputs, from t = 0 (default finalTime / 10)
%   times   the output times instead (from 0 to finalTime)
%   title   the NetCDF file's title
%   epoch   time origin of the NetCDF time, 'yyyy-mm-dd HH:MM:SS'
%           (default '1970-01-01 00:00:00')
% Empty output ([]) means no output. With finalTime empty the times are not
% checked against the run (they are when the solver starts).
%
% settings: the fields above with times (1 x n, increasing) filled in, and
% active (false for no output). Errors: output_options:<reason>.
  settings = struct('netcdf', '', 'vtk', '', 'every', [], 'times', [], 'title', '', ...
                    'epoch', '1970-01-01 00:00:00', 'active', false);
  if isempty(output)
    return;
  end
  if ~isstruct(output) || ~isscalar(output)
    error('output_options:notStruct', ...
          'output must be a struct such as struct(''netcdf'', ''run.nc'', ''vtk'', ''run'', ''every'', 10).');
  end
  given = fieldnames(output);
  for i = 1:numel(given)
    if ~isfield(settings, given{i}) || strcmp(given{i}, 'active')
      error('output_options:unknownField', ...
            'Unknown output field %s (netcdf, vtk, every, times, title, epoch).', given{i});
    end
    settings.(given{i}) = output.(given{i});
  end
  for name = {'netcdf', 'vtk', 'title', 'epoch'}
    if ~ischar(settings.(name{1})) || (~isempty(settings.(name{1})) && size(settings.(name{1}), 1) ~= 1)
      error('output_options:notText', 'output.%s must be a character row.', name{1});
    end
  end
  if isempty(settings.netcdf) && isempty(settings.vtk)
    error('output_options:noFile', 'output names neither a netcdf file nor a vtk prefix.');
  end
  if isempty(regexp(settings.epoch, '^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d$', 'once'))
    error('output_options:epoch', 'output.epoch %s is not yyyy-mm-dd HH:MM:SS.', settings.epoch);
  end
  if ~isempty(settings.every) && ~isempty(settings.times)
    error('output_options:everyAndTimes', 'Give output.every or output.times, not both.');
  end
  every = settings.every;
  if ~isempty(every) && ~(isnumeric(every) && isscalar(every) && isreal(every) && isfinite(every) && every > 0)
    error('output_options:every', 'output.every must be a positive number of seconds.');
  end
  if ~isempty(settings.times) && ~(isnumeric(settings.times) && isreal(settings.times) && all(isfinite(settings.times(:))))
    error('output_options:times', 'output.times must be finite numbers of seconds.');
  end
  if ~isempty(finalTime)
    if ~isempty(settings.times)
      settings.times = unique(double(settings.times(:)'));
      if settings.times(1) < 0 || settings.times(end) > finalTime
        error('output_options:timesOutsideRun', ...
              'output.times run from %g s to %g s, outside the run from 0 to %g s.', ...
              settings.times(1), settings.times(end), finalTime);
      end
    elseif ~isfinite(finalTime)
      error('output_options:endless', 'A run without an end time needs output.times.');
    else
      if isempty(every)
        every = max(finalTime / 10, realmin);
      end
      % Multiples of every up to the end; one that rounding puts past the
      % end by a few units in the last place is the end.
      count = floor(finalTime / every * (1 + 4 * eps));
      settings.times = min(every * (0:count), finalTime);
    end
  end
  % The folders must take new files; the netcdf package must be there.
  targets = {settings.netcdf, settings.vtk};
  for i = 1:2
    if ~isempty(targets{i})
      folder = fileparts(targets{i});
      if isempty(folder)
        folder = '.';
      end
      probe = fullfile(folder, sprintf('.output_probe_%d', floor(rand() * 1e9)));
      fid = fopen(probe, 'w');
      if fid < 0
        error('output_options:unwritable', 'Cannot write into the folder %s (for %s).', folder, targets{i});
      end
      fclose(fid);
      delete(probe);
    end
  end
  if ~isempty(settings.netcdf)
    output_netcdf_api();
  end
  settings.active = true;
end
