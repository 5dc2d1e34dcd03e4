// Variant arrays: creation, bounds, element access and resizing.
#include <limits>

#include "platform/rtl/VarInternal.h"
#include "platform/rtl/Variants.h"

using namespace k58::rtl;

namespace {

bool IsElementType(TVarType type) {
  switch (type) {
    case varSmallint: case varInteger: case varSingle: case varDouble: case varCurrency: case varDate:
    case varOleStr: case varDispatch: case varBoolean: case varVariant: case varShortInt: case varByte:
    case varWord: case varLongWord: case varInt64: case varString:
      return true;
    default:
      return false;
  }
}

// The value new elements start with.
Variant InitialElement(TVarType elementType) {
  switch (elementType) {
    case varVariant: return Variant();
    case varDispatch: return Variant::FromDispatch(nullptr);
    case varString: return Variant(String());
    case varOleStr: return Variant(WideString());
    case varBoolean: return Variant(false);
    default: return VarAsType(Variant(Integer{0}), elementType);
  }
}

const ArrayPayload& ArrayOf(const Variant& a) {
  if (!a.IsArray()) RaiseNotAnArray();
  return VariantAccess::Array(a);
}

// Position of an element in the flat item list (first index varies fastest).
size_t FlatIndex(const ArrayPayload& array, std::span<const Integer> indices) {
  if (indices.size() != array.bounds.size()) RaiseInvalidArg();
  size_t position = 0;
  size_t stride = 1;
  for (size_t d = 0; d < indices.size(); ++d) {
    const TVarArrayBound& bound = array.bounds[d];
    if (indices[d] < bound.LowBound || indices[d] > bound.HighBound) RaiseBadIndex();
    position += static_cast<size_t>(static_cast<Int64>(indices[d]) - bound.LowBound) * stride;
    stride *= static_cast<size_t>(bound.ElementCount());
  }
  return position;
}

const TVarArrayBound& BoundOf(const Variant& a, Integer dim) {
  const ArrayPayload& array = ArrayOf(a);
  if (dim < 1 || static_cast<size_t>(dim) > array.bounds.size()) RaiseBadIndex();
  return array.bounds[static_cast<size_t>(dim) - 1];
}

}  // namespace

k58::rtl::ArrayPayload& VariantAccess::MutableArray(Variant& v) {
  if (!v.IsArray()) RaiseNotAnArray();
  auto* array = static_cast<ArrayPayload*>(v.d_.heap);
  if (array->Shared()) {
    auto* copy = new ArrayPayload;
    copy->elementType = array->elementType;
    copy->bounds = array->bounds;
    try {
      copy->items = array->items;
    } catch (...) {
      delete copy;
      throw;
    }
    v = FromPayload(v.vt_, copy);
    array = copy;
  }
  return *array;
}

Variant VarArrayCreate(std::span<const Integer> bounds, TVarType elementType) {
  if (bounds.empty() || bounds.size() % 2 != 0 || !IsElementType(elementType)) RaiseArrayCreate();
  auto* array = new ArrayPayload;
  Variant result = VariantAccess::FromPayload(varArray | elementType, array);
  array->elementType = elementType;
  Int64 count = 1;
  for (size_t i = 0; i < bounds.size(); i += 2) {
    TVarArrayBound bound{bounds[i], bounds[i + 1]};
    Int64 elements = static_cast<Int64>(bound.HighBound) - bound.LowBound + 1;
    if (elements < 0 || elements > kMaxArrayElements) RaiseArrayCreate();
    count *= elements;
    if (count > kMaxArrayElements) RaiseArrayCreate();
    array->bounds.push_back(bound);
  }
  array->items.assign(static_cast<size_t>(count), InitialElement(elementType));
  return result;
}

Variant VarArrayCreate(std::initializer_list<Integer> bounds, TVarType elementType) {
  return VarArrayCreate(std::span<const Integer>(bounds.begin(), bounds.size()), elementType);
}

Variant VarArrayOf(std::span<const Variant> values) {
  if (values.size() > static_cast<size_t>(kMaxArrayElements)) RaiseArrayCreate();
  auto* array = new ArrayPayload;
  Variant result = VariantAccess::FromPayload(varArray | varVariant, array);
  array->bounds.push_back({0, static_cast<Integer>(values.size()) - 1});
  array->items.assign(values.begin(), values.end());
  return result;
}

Variant VarArrayOf(std::initializer_list<Variant> values) {
  return VarArrayOf(std::span<const Variant>(values.begin(), values.size()));
}

Integer VarArrayDimCount(const Variant& a) {
  if (!a.IsArray()) return 0;
  return static_cast<Integer>(VariantAccess::Array(a).bounds.size());
}

Integer VarArrayLowBound(const Variant& a, Integer dim) { return BoundOf(a, dim).LowBound; }
Integer VarArrayHighBound(const Variant& a, Integer dim) { return BoundOf(a, dim).HighBound; }

Variant VarArrayGet(const Variant& a, std::span<const Integer> indices) {
  const ArrayPayload& array = ArrayOf(a);
  return array.items[FlatIndex(array, indices)];
}

Variant VarArrayGet(const Variant& a, std::initializer_list<Integer> indices) {
  return VarArrayGet(a, std::span<const Integer>(indices.begin(), indices.size()));
}

void VarArrayPut(Variant& a, const Variant& value, std::span<const Integer> indices) {
  const ArrayPayload& shared = ArrayOf(a);
  size_t position = FlatIndex(shared, indices);
  // Converted (and so copied) before the array is made unique, so an array can be stored into itself.
  Variant element = shared.elementType == varVariant ? value : VarAsType(value, shared.elementType);
  ArrayPayload& array = VariantAccess::MutableArray(a);
  array.items[position] = std::move(element);
}

void VarArrayPut(Variant& a, const Variant& value, std::initializer_list<Integer> indices) {
  VarArrayPut(a, value, std::span<const Integer>(indices.begin(), indices.size()));
}

void VarArrayRedim(Variant& a, Integer highBound) {
  const ArrayPayload& shared = ArrayOf(a);
  const TVarArrayBound& last = shared.bounds.back();
  Int64 elements = static_cast<Int64>(highBound) - last.LowBound + 1;
  if (elements < 0) RaiseArrayCreate();
  Int64 slice = 1;  // elements per index of the last dimension
  for (size_t d = 0; d + 1 < shared.bounds.size(); ++d) slice *= shared.bounds[d].ElementCount();
  if (elements > kMaxArrayElements || elements * slice > kMaxArrayElements) RaiseArrayCreate();
  ArrayPayload& array = VariantAccess::MutableArray(a);
  array.items.resize(static_cast<size_t>(elements * slice), InitialElement(array.elementType));
  array.bounds.back().HighBound = highBound;
}
