function folder = kernel_folder(name)
% KERNEL_FOLDER  The private folder that holds a module, from modules.txt.
  root = fileparts(fileparts(fileparts(mfilename('fullpath'))));
  text = fileread(fullfile(root, 'modules.txt'));
  row = regexp(text, ['(?m)^' name '\s+(\S+)'], 'tokens', 'once');
  if isempty(row)
    error('kernel_folder:unknown', 'No module named %s.', name);
  end
  folder = fullfile(root, row{1});
end
