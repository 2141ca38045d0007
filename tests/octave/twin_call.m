function r = twin_call(name, args, nout)
% TWIN_CALL  Calls the function `name` as found from the current folder with
% nout outputs and records what it returned, printed or raised:
% r.outputs, r.printed, r.identifier, r.message.
  r = struct('outputs', {{}}, 'printed', '', 'identifier', '', 'message', '');
  r.printed = evalc('r = call_and_catch(name, args, nout, r);');
end

function r = call_and_catch(name, args, nout, r)
  try
    if nout == 0
      feval(name, args{:});
      if exist('ans', 'var')
        r.outputs = {ans};
      end
    else
      outputs = cell(1, nout);
      [outputs{:}] = feval(name, args{:});
      r.outputs = outputs;
    end
  catch err
    r.identifier = err.identifier;
    r.message = err.message;
  end
end
