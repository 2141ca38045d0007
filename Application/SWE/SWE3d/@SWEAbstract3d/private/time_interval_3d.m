function varargout = time_interval_3d(varargin)
% TIME_INTERVAL_3D  Plain-M twin of the compiled module time_interval_3d: the
% stable time step of the 3d shallow-water solver, the smallest
% L / (|u| + sqrt(g*h)) / (2N + 1) over the nodes of every element that is not
% dry.
%
%   dt = time_interval_3d(~, gravity, polynomialOrder, elementLength, cellStatus, fieldValues)
%
%   input 0:         required by the count, never read
%   gravity:         scalar g
%   polynomialOrder: scalar N
%   elementLength:   at least K doubles, length scale L of each element
%   cellStatus:      int8, at least K entries, CellStatus of each element
%   fieldValues:     Np x K x Nfield (Nfield >= 3), pages h, hu, hv
%   dt:              1 x 1; 1e6 when no element takes part
%
% Only Wet nodes move (u = hu/h, v = hv/h, no depth threshold); Dry elements
% are left out. The running value starts at 1e6 and takes each candidate c in
% node order by the rule "dt < c ? dt : c": a NaN candidate replaces it, the
% next candidate replaces the NaN, and of two equal candidates (0 and -0) the
% later one stays. The compiled module, when built, takes precedence over this
% file. Same diagnostics, checks and error identifiers; the candidates are
% formed with the same operations in the same order and the rule is applied
% exactly, so the result is bit-identical to the module's (NaN payload aside).
  module = 'time_interval_3d';
  kernel_check_counts(module, 6, 1, nargin, nargout);
  gravity = kernel_read_scalar(module, varargin{2}, 1, 'gravity');
  polynomialOrder = kernel_read_scalar(module, varargin{3}, 2, 'polynomialOrder');
  fieldValues = varargin{6};
  kernel_require_field_pages(module, fieldValues, 5, 'fieldValues', 3, 'h, hu, hv');
  Np = size(fieldValues, 1);
  K = size(fieldValues, 2);
  kernel_require_doubles(module, varargin{4}, 3, 'elementLength', K, 'K');
  kernel_require_bytes(module, varargin{5}, 4, 'cellStatus', K, 'K');

  dt = 1000000.0;
  if Np * K > 0
    status = kernel_status_bytes(varargin{5}, K);
    L = reshape(varargin{4}(1:K), 1, K);
    h = kernel_field_page(fieldValues, 1);
    hu = kernel_field_page(fieldValues, 2);
    hv = kernel_field_page(fieldValues, 3);
    % Velocity of Wet elements' nodes; zero elsewhere.
    wet = repmat(status == 4, Np, 1);
    u = zeros(Np, K);
    v = zeros(Np, K);
    u(wet) = hu(wet) ./ h(wet);
    v(wet) = hv(wet) ./ h(wet);
    % Candidate of every node: (L / (speed + celerity)) / ((N + N) + 1).
    speed = real_sqrt(u .* u + v .* v);
    celerity = real_sqrt(gravity * h);
    candidate = (L ./ (speed + celerity)) / ((polynomialOrder + polynomialOrder) + 1.0);
    % Nodes of elements that are not Dry, in node order.
    candidate = candidate(:, status ~= 5);
    dt = fold_smallest(dt, candidate(:));
  end
  varargout{1} = dt;
end

function r = real_sqrt(x)
  % The C library's square root: NaN (not a complex value) below zero.
  x(x < 0) = NaN;
  r = sqrt(x);
end

function dt = fold_smallest(dt, c)
  % dt = (dt < c(i)) ? dt : c(i) for i = 1, 2, ... in one pass. A NaN candidate
  % replaces dt and the next candidate replaces the NaN, so only the run after
  % the last NaN counts, starting from that run's first candidate. Within a run
  % without NaN the result has the smallest value, and the bits of the last
  % candidate holding it (0 and -0 are equal).
  last = find(isnan(c), 1, 'last');
  if ~isempty(last)
    if last == numel(c)
      dt = c(last);
      return;
    end
    c = c(last + 1:end);
    dt = c(1);
  end
  smallest = min([dt; c]);
  at = find(c == smallest, 1, 'last');
  if ~isempty(at)
    dt = c(at);
  end
end
