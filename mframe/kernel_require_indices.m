function kernel_require_indices(module, x, position, name, count, stride, offset, upper, upperName)
% KERNEL_REQUIRE_INDICES  The 1-based indices x(offset + j*stride + 1),
% j = 0 .. count-1, each of which, truncated toward zero, must be finite and
% lie in 1..upper; the first that does not ends the call with
% <module>:indexOutOfRange, naming its (1-based) entry and value. The array
% must already be known to hold the entries read.
  if count <= 0
    return;
  end
  entries = offset + (0:count - 1) * stride + 1;
  values = x(entries);
  bad = find(~(values >= 1 & values < upper + 1), 1);
  if ~isempty(bad)
    kernel_fail(module, 'indexOutOfRange', ...
                'Input %d (%s) entry %d holds %s, which does not name an index in 1..%s = %d.', ...
                position, name, entries(bad), kernel_format_g17(values(bad)), upperName, upper);
  end
end
