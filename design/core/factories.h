// The tables from which the design loader makes the object that a stored code
// names: a graded object by its object kind, a point by its point kind, a
// curve by its curve kind, a design element by its type code and subtype, and
// a piece item by its item code. A class joins its table when it is built, by
// registering a function that makes an empty object of it; the loader then
// asks the table and gets null for a code that has no class, which ends the
// load as a failure (a record of unknown class has no length to skip).
//
// Registration is explicit: each folder of classes offers one function that
// registers all of its classes, and the loader's setup calls those. (A
// self-registering global in a static library is dropped by the linker when
// nothing else in its file is used, so the tables are never filled that way.)
//
// The tables are process-wide and, like the whole design model, used only on
// the user-interface thread.
#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <memory>

class CDesignElement;
class CGradedObject;
class CPatternData;
class CPatternRecord;
class CPieceItem;

// Maps a stored code to the function that makes an empty object of its class.
template <class Key, class Product, class... Args>
class FactoryRegistry {
 public:
  using CreateFunction = std::unique_ptr<Product> (*)(Args...);

  // Joins `create` under `code`. Each code has one class: a second
  // registration of a code (or a null function) is refused with false and
  // the first registration stays.
  bool Register(const Key& code, CreateFunction create) {
    if (!create) return false;
    return m_Table.emplace(code, create).second;
  }
  // A new empty object of the class registered under `code`, or null when no
  // class has that code.
  std::unique_ptr<Product> Create(const Key& code, Args... args) const {
    const auto found = m_Table.find(code);
    if (found == m_Table.end()) return nullptr;
    return found->second(args...);
  }
  bool IsRegistered(const Key& code) const { return m_Table.count(code) != 0; }

 private:
  std::map<Key, CreateFunction> m_Table;
};

// Design elements are keyed by their type code and, for the types that carry
// one (construction elements, shape elements, symbols), their subtype; every
// other type registers and is asked for with subtype 0.
struct ElementCode {
  int32_t type = 0;
  int32_t subtype = 0;
  friend auto operator<=>(const ElementCode&, const ElementCode&) = default;
};

// Graded objects that the object kind alone decides: two-point lines (kind 2)
// and texts (kind 8). Points and curves go by their own kinds below.
using ObjectKindFactory = FactoryRegistry<int32_t, CGradedObject, CPatternData*>;
// Construction points by point kind (1 .. 47).
using PointKindFactory = FactoryRegistry<int32_t, CGradedObject, CPatternData*>;
// Curves by curve kind (1 .. 8).
using CurveKindFactory = FactoryRegistry<int32_t, CGradedObject, CPatternData*>;
// Design elements of a pattern record.
using ElementFactory = FactoryRegistry<ElementCode, CDesignElement, CPatternRecord*>;
// Piece items of the stored pieces by item code.
using ItemCodeFactory = FactoryRegistry<int32_t, CPieceItem>;

// Whether the archive layout defines a code at all, whether or not its class
// is built: a code it defines but no class has yet is a file this program
// cannot read yet, any other code a damaged file.
// Object kinds 1, 2, 4 and 8, and 5 (a text) up to data version 118.
bool IsLayoutObjectKind(int32_t kind, int32_t version);
bool IsLayoutPointKind(int32_t pointKind);  // 1 .. 47
bool IsLayoutCurveKind(int32_t curveKind);  // 1 .. 8
// Types 1, 2, 4, 8, 16, 128, 256 and 512 with subtype 0; 32 with a subtype
// of one bit from 1 to 512, 64 from 1 to 32, 1024 from 1 to 256.
bool IsLayoutElementCode(const ElementCode& code);
bool IsLayoutItemCode(int32_t code);  // 0 .. 29

// The tables one design load makes its objects from.
struct DesignTables {
  const ObjectKindFactory& objects;
  const PointKindFactory& points;
  const CurveKindFactory& curves;
  const ElementFactory& elements;

  // The process-wide tables with every class built so far joined
  // (design/core/design_classes.h).
  static DesignTables Registered();
};

ObjectKindFactory& GetObjectKindFactory();
PointKindFactory& GetPointKindFactory();
CurveKindFactory& GetCurveKindFactory();
ElementFactory& GetElementFactory();
ItemCodeFactory& GetItemCodeFactory();
