function api = output_netcdf_api()
% OUTPUT_NETCDF_API  The functions of the host's netcdf package, in a struct
% with one handle per function (create, defDim, defVar, putAtt, putVar, ...),
% so that the writers call netcdf.<function> the same way under MATLAB, where
% netcdf is a built-in package, and under GNU Octave, where the octave-netcdf
% package provides them as netcdf_<function> (loaded here with pkg load).
% A writer assigns the struct to a variable named netcdf.
  names = {'create', 'open', 'close', 'sync', 'defDim', 'defVar', 'putAtt', 'putVar', ...
           'endDef', 'getConstant', 'inqVarID', 'inqDimID', 'inqDim', 'getVar', 'getAtt'};
  api = struct();
  if exist('OCTAVE_VERSION', 'builtin')
    try
      pkg('load', 'netcdf');
    catch
    end
    if ~exist('netcdf_create')
      error('output_netcdf_api:missing', ...
            'The netcdf package is not installed (Debian: apt-get install octave-netcdf).');
    end
    for i = 1:numel(names)
      api.(names{i}) = str2func(['netcdf_' names{i}]);
    end
  else
    for i = 1:numel(names)
      api.(names{i}) = str2func(['netcdf.' names{i}]);
    end
  end
end
