' The corpus in BasicScript: numbers are Variants here.
dim i, j, n, x, total
dim s as string, t as string
dim a[10]
dim m[3, 4]

function Gcd(p, q)
  dim r
  while q <> 0
    r = p mod q
    p = q
    q = r
  wend
  return p
end function

function Fact(k)
  if k <= 1 then
    return 1
  else
    return k * Fact(k - 1)
  end if
end function

sub FactVar(k, byref r)
  dim t
  if k <= 1 then
    r = 1
  else
    t = 0
    FactVar(k - 1, t)
    r = t * k
  end if
end sub

function IsPrime(k)
  dim d, p
  p = k > 1
  d = 2
  while d * d <= k
    if k mod d = 0 then
      p = false
      break
    end if
    d = d + 1
  wend
  return p
end function

sub Classify(k)
  select case k
  case 0: Emit("zero")
  case 1, 2: Emit("small")
  case 3..5: Emit("mid")
  case else: Emit("big")
  end select
end sub

sub Guarded(k)
  try
    if k > 0 then exit
    Emit("body")
  finally
    Emit("finally")
  end try
  Emit("after")
end sub

sub Outer(k)
  dim acc, c
  sub AddTo(v)
    acc = acc + v
  end sub
  acc = 0
  for c = 1 to k
    AddTo(c * c)
  next
  Emit(acc)
end sub

Emit("gcd")
Emit(Gcd(1071, 462))
Emit(Gcd(17, 5))
Emit(Gcd(100, 75))

Emit("fact")
Emit(Fact(10))
x = 0
FactVar(10, x)
Emit(x)
FactVar(12, x)
Emit(x)

Emit("primes")
s = ""
for n = 2 to 40
  if (n > 2) and (n mod 2 = 0) then continue
  if IsPrime(n) then s = s & IntToStr(n) & " "
next
Emit(Trim(s))
n = 100
while true
  n = n + 1
  if IsPrime(n) then break
wend
Emit(n)

Emit("strings")
s = ""
for i = 1 to 5
  s = s & IntToStr(i)
next
Emit(s)
Emit(Length(s))
Emit(Copy(s, 2, 3))
Emit(Pos("34", s))
t = ""
for i = Length(s) to 1 step -1
  t = t & s[i]
next
Emit(t)
s[1] = "X"
Emit(s)
DeleteStr(s, 2, 2)
Emit(s)
Insert("ab", s, 2)
Emit(s)
Emit(UpperCase("mixed Case") & LowerCase("ABC"))

Emit("case")
for i = 0 to 6
  Classify(i)
next

Emit("try")
Guarded(0)
Guarded(1)
try
  RaiseException("boom")
  Emit("not reached")
catch
  Emit("caught")
end try

Emit("nested")
Outer(3)
Outer(5)

Emit("arrays")
for i = 0 to 9
  a[i] = i * i
next
total = 0
for i = 0 to 9
  total = total + a[i]
next
Emit(total)
Emit(a[7])
for i = 0 to 2
  for j = 0 to 3
    m[i, j] = i * 10 + j
  next
next
total = 0
for i = 0 to 2
  for j = 0 to 3
    total = total + m[i, j]
  next
next
Emit(total)
Emit(m[2, 3])
Emit(m[1, 2])
