{$mode objfpc}{$H+}
program corpus;
uses SysUtils, Variants;
procedure Emit(v: Variant);
begin
  writeln(VarToStr(v));
end;
procedure RaiseException(const s: String);
begin
  raise Exception.Create(s);
end;
