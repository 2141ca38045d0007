function p = progress_start(seconds, finalTime, label)
% PROGRESS_START  Progress lines of a long run, for progress_report: at most
% one every `seconds` of wall time (0 or false: none). Where standard output
% is not a terminal (a log file, a pipe) lines come at most once a minute, so
% a long run does not flood its log.
  if islogical(seconds)
    seconds = 5 * seconds;
  end
  if ~(isnumeric(seconds) || islogical(seconds)) || ~isscalar(seconds) || ~(seconds >= 0)
    error('progress_start:seconds', 'progress must be false or a number of seconds >= 0.');
  end
  if seconds > 0 && ~to_terminal()
    seconds = max(seconds, 60);
  end
  p = struct('seconds', seconds, 'finalTime', finalTime, 'label', label, 'started', tic, ...
             'last', 0);
end

function yes = to_terminal()
  % Octave: ask the shell whether its standard output (Octave's) is a
  % terminal; MATLAB: the desktop's command window is one.
  if exist('OCTAVE_VERSION', 'builtin')
    yes = system('test -t 1', false) == 0;
  else
    yes = usejava('desktop');
  end
end
