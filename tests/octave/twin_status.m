function s = twin_status(K)
% TWIN_STATUS  A valid cellStatus input for K elements: mostly int8 codes
% (twin_codes), sometimes one entry more, sometimes another class whose bytes
% the modules read as codes (uint8, char, logical, double).
  s = twin_codes(K + (rand() < 0.2));
  switch twin_randi(10)
    case 1
      s = typecast(s, 'uint8');
    case 2
      s = char(double(typecast(s, 'uint8')));
    case 3
      s = rand(size(s)) < 0.5;
    case 4
      s = double(s(1:ceil(end / 8)));
  end
end
