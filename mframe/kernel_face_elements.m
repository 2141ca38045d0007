function [codes, elements] = kernel_face_elements(module, cellStatus, statusPosition, ...
                                                   faceToElement, elementPosition, Nface)
% KERNEL_FACE_ELEMENTS  Checks and reads the inputs that mark the faces with a
% non-wet element: cellStatus read byte by byte (its bytes give K) and
% faceToElement, a full double array of at least 2*Nface entries whose first
% 2*Nface (rows 1 and 2 of each face), truncated toward zero, name elements in
% 1..K. Returns the status codes (one per byte) and the 2 x Nface elements.
  kernel_require_bytes(module, cellStatus, statusPosition, 'cellStatus', 0, 'K');
  codes = kernel_status_bytes(cellStatus);
  K = numel(codes);
  entries = kernel_count_product(module, elementPosition, 'faceToElement', 2, Nface, '2*Nface');
  kernel_require_doubles(module, faceToElement, elementPosition, 'faceToElement', entries, '2*Nface');
  kernel_require_indices(module, faceToElement, elementPosition, 'faceToElement', entries, 1, 0, K, 'K');
  elements = fix(kernel_leading(faceToElement, [2, Nface]));
end
