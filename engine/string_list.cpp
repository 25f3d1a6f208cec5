#include "engine/string_list.h"

#include <algorithm>

namespace plotvane {

namespace {

char16_t UpperChar(char16_t c) { return (c >= u'a' && c <= u'z') ? c - (u'a' - u'A') : c; }

bool LessText(const std::u16string& a, const std::u16string& b) { return CompareText(a, b) < 0; }

}  // namespace

int CompareText(const std::u16string& a, const std::u16string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const char16_t ca = UpperChar(a[i]), cb = UpperChar(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::u16string UpperCase(std::u16string s) {
  for (char16_t& c : s) c = UpperChar(c);
  return s;
}

std::u16string TextBeforeLast(const std::u16string& s, char16_t separator) {
  const size_t at = s.rfind(separator);
  return at == std::u16string::npos ? std::u16string() : s.substr(0, at);
}

std::u16string TextAfterLast(const std::u16string& s, char16_t separator) {
  const size_t at = s.rfind(separator);
  return at == std::u16string::npos ? s : s.substr(at + 1);
}

int TStringList::Add(std::u16string s) {
  if (!sorted_) {
    items_.push_back(std::move(s));
    return Count() - 1;
  }
  auto it = std::lower_bound(items_.begin(), items_.end(), s, LessText);
  const int index = static_cast<int>(it - items_.begin());
  if (it != items_.end() && CompareText(*it, s) == 0) return index;
  items_.insert(it, std::move(s));
  return index;
}

void TStringList::Insert(int index, std::u16string s) {
  items_.insert(items_.begin() + index, std::move(s));
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == sorted_) return;
  sorted_ = sorted;
  if (!sorted_) return;
  std::stable_sort(items_.begin(), items_.end(), LessText);
  items_.erase(std::unique(items_.begin(), items_.end(),
                           [](const std::u16string& a, const std::u16string& b) {
                             return CompareText(a, b) == 0;
                           }),
               items_.end());
}

int TStringList::IndexOfName(const std::u16string& name) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    const std::u16string& s = items_[i];
    const size_t eq = s.find(u'=');
    if (eq == std::u16string::npos) continue;
    if (CompareText(s.substr(0, eq), name) == 0) return static_cast<int>(i);
  }
  return -1;
}

std::u16string TStringList::ValueFromIndex(int index) const {
  const std::u16string& s = items_[static_cast<size_t>(index)];
  const size_t eq = s.find(u'=');
  return eq == std::u16string::npos ? std::u16string() : s.substr(eq + 1);
}

}  // namespace plotvane
