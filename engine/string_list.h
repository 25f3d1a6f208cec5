// TStringList: an owned list of UTF-16 strings, optionally kept sorted.
//
// A sorted list compares case-insensitively and ignores an entry equal to one
// already present, so it doubles as a set. Entries of the form "name=value"
// can be looked up by name.
#ifndef PLOTVANE_ENGINE_STRING_LIST_H_
#define PLOTVANE_ENGINE_STRING_LIST_H_

#include <string>
#include <vector>

namespace plotvane {

// Compares two strings ignoring the letter case of ASCII letters; returns <0,
// 0 or >0.
int CompareText(const std::u16string& a, const std::u16string& b);
// ASCII letters turned to upper case, every other code unit unchanged.
std::u16string UpperCase(std::u16string s);
// The text of `s` before its last `separator` (empty when it has none) and
// after it (the whole text when it has none).
std::u16string TextBeforeLast(const std::u16string& s, char16_t separator);
std::u16string TextAfterLast(const std::u16string& s, char16_t separator);

class TStringList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  // REQUIRES: 0 <= index < Count().
  const std::u16string& operator[](int index) const { return items_[static_cast<size_t>(index)]; }

  // Appends `s`, or inserts it in order when the list is sorted; a sorted list
  // that already holds an equal entry is left unchanged. Returns the index of
  // the entry.
  int Add(std::u16string s);
  // REQUIRES: unsorted list, 0 <= index <= Count().
  void Insert(int index, std::u16string s);
  void Clear() { items_.clear(); }

  bool Sorted() const { return sorted_; }
  // Switching sorting on sorts the entries and drops duplicates.
  void SetSorted(bool sorted);

  // Index of the first entry whose name (text before the first "=") equals
  // `name` ignoring case; -1 when there is none.
  int IndexOfName(const std::u16string& name) const;
  // The text after the first "=" of entry `index` ("" when it has none).
  std::u16string ValueFromIndex(int index) const;

  std::vector<std::u16string>::const_iterator begin() const { return items_.begin(); }
  std::vector<std::u16string>::const_iterator end() const { return items_.end(); }

 private:
  std::vector<std::u16string> items_;
  bool sorted_ = false;
};

}  // namespace plotvane

#endif  // PLOTVANE_ENGINE_STRING_LIST_H_
