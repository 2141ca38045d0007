function attributes = output_attributes(name)
% OUTPUT_ATTRIBUTES  The CF attributes of a field the solvers write, as a
% cell array of name/value pairs: long_name, units, and standard_name where
% the CF table has one whose sign and meaning match. Element means get the
% field's attributes and a cell_methods of their own (output_netcdf_create).
  switch name
    case 'h'
      attributes = {'long_name', 'water depth', 'units', 'm', ...
                    'standard_name', 'sea_floor_depth_below_sea_surface'};
    case 'hu'
      attributes = {'long_name', 'discharge per unit width along x (depth times x velocity)', ...
                    'units', 'm2 s-1'};
    case 'hv'
      attributes = {'long_name', 'discharge per unit width along y (depth times y velocity)', ...
                    'units', 'm2 s-1'};
    case 'hw'
      attributes = {'long_name', 'vertical momentum per unit area (depth times vertical velocity)', ...
                    'units', 'm2 s-1'};
    case 'eta'
      attributes = {'long_name', 'water surface elevation', 'units', 'm', ...
                    'standard_name', 'sea_surface_height_above_geoid'};
    case 'z'
      % Positive up, like z: the height of the solid bed under the water.
      attributes = {'long_name', 'bed elevation', 'units', 'm', 'positive', 'up', ...
                    'standard_name', 'bedrock_altitude'};
    case 'depth'
      attributes = {'long_name', 'bed depth below the datum (-z)', 'units', 'm', 'positive', 'down', ...
                    'standard_name', 'sea_floor_depth_below_geoid'};
    case 'u'
      attributes = {'long_name', 'x velocity', 'units', 'm s-1', 'standard_name', 'sea_water_x_velocity'};
    case 'v'
      attributes = {'long_name', 'y velocity', 'units', 'm s-1', 'standard_name', 'sea_water_y_velocity'};
    case 'w'
      attributes = {'long_name', 'vertical velocity', 'units', 'm s-1', ...
                    'standard_name', 'upward_sea_water_velocity'};
    otherwise
      attributes = {'long_name', name};
  end
end
