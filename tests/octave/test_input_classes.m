function tests = test_input_classes()
  tests = {@byte_inputs_must_be_numeric, @complex_doubles_are_refused};
end

function expect(name, nout, reason, varargin)
  identifier = kernel_call_error(name, nout, varargin{:});
  assert(strcmp(identifier, [name ':' reason]), '%s: got %s', name, identifier);
end

function byte_inputs_must_be_numeric()
  % A function handle, cell or struct where bytes are read ends the call, also
  % when the other inputs need no byte of it (Octave used to abort here).
  e = zeros(1, 0);
  calls = {'prebalance_volume_flux_2d', 2, @(b) {0, 9.81, b, zeros(1, 0, 4)};
           'time_interval_3d', 1, @(b) {[], 9.81, 1, e, b, zeros(1, 0, 3)};
           'upwind_flux_2d', 1, @(b) [{b, zeros(2, 0)}, repmat({e}, 1, 10)];
           'nonhydro_vertical_volume_flux', 2, @(b) {b, e, e, e, e};
           'nonhydro_vertical_face_flux', 1, @(b) [{b, zeros(2, 0)}, repmat({e}, 1, 7)];
           'boundary_type', 1, @(b) {b, e};
           'penalty_parameter', 1, @(b) {e, zeros(2, 0), e, zeros(2, 0), e, b, 1}};
  for bad = {@sin, {}, struct()}
    for c = 1:rows(calls)
      args = calls{c, 3}(bad{1});
      expect(calls{c, 1}, calls{c, 2}, 'notNumeric', args{:});
    end
  end
end

function complex_doubles_are_refused()
  % The real part alone would be a wrong result without a warning.
  f = ones(2, 3, 3);
  expect('face_flux_2d', 1, 'notDouble', 0, 9.81, ones(2, 3), ones(2, 3), complex(f));
  expect('face_flux_2d', 1, 'notDouble', 0, 9.81, ones(2, 3) + 1i, ones(2, 3), f);
  expect('face_flux_2d', 1, 'invalidScalar', 0, 9.81 + 1i, ones(2, 3), ones(2, 3), f);
end
