// The corpus in JScript: variables are Variants; strings are indexed once they hold text.
var i, j, n, x, total, s, t, a[10], m[3, 4];

function Gcd(p, q) {
  var r;
  while (q != 0) {
    r = p % q;
    p = q;
    q = r;
  }
  return p;
}

function Fact(k) {
  if (k <= 1) return 1;
  else return k * Fact(k - 1);
}

function FactVar(k, &r) {
  var t;
  if (k <= 1) r = 1;
  else {
    t = 0;
    FactVar(k - 1, t);
    r = t * k;
  }
}

function IsPrime(k) {
  var d, p = k > 1;
  d = 2;
  while (d * d <= k) {
    if (k % d == 0) {
      p = false;
      break;
    }
    d = d + 1;
  }
  return p;
}

function Classify(k) {
  switch (k) {
    case 0: Emit("zero");
    case 1, 2: Emit("small");
    case 3..5: Emit("mid");
    default: Emit("big");
  }
}

function Guarded(k) {
  try {
    if (k > 0) return;
    Emit("body");
  } finally {
    Emit("finally");
  }
  Emit("after");
}

function Outer(k) {
  var acc, c;
  function AddTo(v) {
    acc = acc + v;
  }
  acc = 0;
  for (c = 1; c <= k; c++) AddTo(c * c);
  Emit(acc);
}

Emit("gcd");
Emit(Gcd(1071, 462));
Emit(Gcd(17, 5));
Emit(Gcd(100, 75));

Emit("fact");
Emit(Fact(10));
x = 0;
FactVar(10, x);
Emit(x);
FactVar(12, x);
Emit(x);

Emit("primes");
s = "";
for (n = 2; n <= 40; n++) {
  if ((n > 2) && (n % 2 == 0)) continue;
  if (IsPrime(n)) s = s + IntToStr(n) + " ";
}
Emit(Trim(s));
n = 100;
while (true) {
  n = n + 1;
  if (IsPrime(n)) break;
}
Emit(n);

Emit("strings");
s = "";
for (i = 1; i <= 5; i++) s = s + IntToStr(i);
Emit(s);
Emit(Length(s));
Emit(Copy(s, 2, 3));
Emit(Pos("34", s));
t = "";
for (i = Length(s); i >= 1; i--) t = t + s[i];
Emit(t);
s[1] = "X";
Emit(s);
DeleteStr(s, 2, 2);
Emit(s);
Insert("ab", s, 2);
Emit(s);
Emit(UpperCase("mixed Case") + LowerCase("ABC"));

Emit("case");
for (i = 0; i <= 6; i++) Classify(i);

Emit("try");
Guarded(0);
Guarded(1);
try {
  RaiseException("boom");
  Emit("not reached");
} except {
  Emit("caught");
}

Emit("nested");
Outer(3);
Outer(5);

Emit("arrays");
for (i = 0; i <= 9; i++) a[i] = i * i;
total = 0;
for (i = 0; i <= 9; i++) total = total + a[i];
Emit(total);
Emit(a[7]);
for (i = 0; i <= 2; i++)
  for (j = 0; j <= 3; j++)
    m[i, j] = i * 10 + j;
total = 0;
for (i = 0; i <= 2; i++)
  for (j = 0; j <= 3; j++)
    total = total + m[i, j];
Emit(total);
Emit(m[2, 3]);
Emit(m[1, 2]);
