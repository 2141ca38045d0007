function mex(varargin)
% Stands in for MATLAB's mex in test_build_mex_matlab: records, then fails if asked.
  global build_mex_stub
  build_mex_stub.calls{end + 1} = varargin;
  if ~isempty(build_mex_stub.failure)
    error(build_mex_stub.failure{:});
  end
end
