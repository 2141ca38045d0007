function output_pvd(file, times, files)
% OUTPUT_PVD  Write the ParaView collection file listing the .vtu files
% (names relative to the collection's folder) with their times. Written to a
% new file that then replaces the old one, so the collection on disk is
% always complete.
  partial = [file '.partial'];
  fid = fopen(partial, 'w');
  if fid < 0
    error('output_pvd:open', 'Cannot write %s.', partial);
  end
  fprintf(fid, ['<?xml version="1.0"?>\n' ...
                '<VTKFile type="Collection" version="0.1" byte_order="LittleEndian">\n<Collection>\n']);
  for i = 1:numel(times)
    fprintf(fid, '<DataSet timestep="%.17g" part="0" file="%s"/>\n', times(i), files{i});
  end
  fprintf(fid, '</Collection>\n</VTKFile>\n');
  fclose(fid);
  movefile(partial, file, 'f');
end
