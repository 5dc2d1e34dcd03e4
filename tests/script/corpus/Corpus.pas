{ The corpus in PascalScript: small algorithms whose Emit trace every language gives alike. }
var
  i, j, n, x, total: Integer;
  s, t: String;
  a: array[0..9] of Integer;
  m: array[0..2, 0..3] of Integer;

function Gcd(p, q: Integer): Integer;
var r: Integer;
begin
  while q <> 0 do
  begin
    r := p mod q;
    p := q;
    q := r
  end;
  Result := p
end;

function Fact(k: Integer): Integer;
begin
  if k <= 1 then
    Result := 1
  else
    Result := k * Fact(k - 1)
end;

procedure FactVar(k: Integer; var r: Integer);
var t: Integer;
begin
  if k <= 1 then
    r := 1
  else
  begin
    t := 0;
    FactVar(k - 1, t);
    r := t * k
  end
end;

function IsPrime(k: Integer): Boolean;
var d: Integer;
begin
  Result := k > 1;
  d := 2;
  while d * d <= k do
  begin
    if k mod d = 0 then
    begin
      Result := False;
      break
    end;
    d := d + 1
  end
end;

procedure Classify(k: Integer);
begin
  case k of
    0: Emit('zero');
    1, 2: Emit('small');
    3..5: Emit('mid')
  else
    Emit('big')
  end
end;

procedure Guarded(k: Integer);
begin
  try
    if k > 0 then exit;
    Emit('body')
  finally
    Emit('finally')
  end;
  Emit('after')
end;

procedure Outer(k: Integer);
var acc: Integer;
  procedure AddTo(v: Integer);
  begin
    acc := acc + v
  end;
var c: Integer;
begin
  acc := 0;
  for c := 1 to k do AddTo(c * c);
  Emit(acc)
end;

begin
  Emit('gcd');
  Emit(Gcd(1071, 462));
  Emit(Gcd(17, 5));
  Emit(Gcd(100, 75));

  Emit('fact');
  Emit(Fact(10));
  x := 0;
  FactVar(10, x);
  Emit(x);
  FactVar(12, x);
  Emit(x);

  Emit('primes');
  s := '';
  for n := 2 to 40 do
  begin
    if (n > 2) and (n mod 2 = 0) then continue;
    if IsPrime(n) then s := s + IntToStr(n) + ' '
  end;
  Emit(Trim(s));
  n := 100;
  while True do
  begin
    n := n + 1;
    if IsPrime(n) then break
  end;
  Emit(n);

  Emit('strings');
  s := '';
  for i := 1 to 5 do s := s + IntToStr(i);
  Emit(s);
  Emit(Length(s));
  Emit(Copy(s, 2, 3));
  Emit(Pos('34', s));
  t := '';
  for i := Length(s) downto 1 do t := t + s[i];
  Emit(t);
  s[1] := 'X';
  Emit(s);
  Delete(s, 2, 2);
  Emit(s);
  Insert('ab', s, 2);
  Emit(s);
  Emit(UpperCase('mixed Case') + LowerCase('ABC'));

  Emit('case');
  for i := 0 to 6 do Classify(i);

  Emit('try');
  Guarded(0);
  Guarded(1);
  try
    RaiseException('boom');
    Emit('not reached')
  except
    Emit('caught')
  end;

  Emit('nested');
  Outer(3);
  Outer(5);

  Emit('arrays');
  for i := 0 to 9 do a[i] := i * i;
  total := 0;
  for i := 0 to 9 do total := total + a[i];
  Emit(total);
  Emit(a[7]);
  for i := 0 to 2 do
    for j := 0 to 3 do
      m[i, j] := i * 10 + j;
  total := 0;
  for i := 0 to 2 do
    for j := 0 to 3 do
      total := total + m[i, j];
  Emit(total);
  Emit(m[2, 3]);
  Emit(m[1, 2])
end.
