function p = progress_report(p, t, steps, dt, massChange)
% PROGRESS_REPORT  After a step: if the interval of progress_start has passed
% since the last line, print one line with the simulated time over the end
% time, the steps, the last step size, the relative change of mass (massChange
% is a function, called only when a line is printed) and the estimated wall
% time left.
  if p.seconds <= 0
    return;
  end
  elapsed = toc(p.started);
  if elapsed - p.last < p.seconds
    return;
  end
  p.last = elapsed;
  left = elapsed * (p.finalTime - t) / max(t, eps);
  fprintf('%s: t = %.4g / %.4g s, %d steps, dt %.3g s, mass change %.2e, about %s left\n', ...
          p.label, t, p.finalTime, steps, dt, massChange(), duration_text(left));
end

function text = duration_text(s)
  if s < 120
    text = sprintf('%.0f s', s);
  elseif s < 7200
    text = sprintf('%.0f min', s / 60);
  else
    text = sprintf('%.1f h', s / 3600);
  end
end
