function marker = kernel_non_wet_faces(codes, elements)
% KERNEL_NON_WET_FACES  1 x Nface logical: true for every face whose local or
% adjacent element (rows 1 and 2 of elements) is not Wet (status 4).
  status = reshape(codes(elements), size(elements));
  marker = any(status ~= 4, 1);
end
