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
    elseif nout == 3
      % Named outputs: a module that assigns none (face_normal_vector without
      % a matching face) then ends in the same error as its twin. Under Octave
      % a cs-list of cell elements takes a compiled module's unassigned
      % outputs as undefined values, without an error.
      [o1, o2, o3] = feval(name, args{:});
      r.outputs = {o1, o2, o3};
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
