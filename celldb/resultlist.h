// The result list: record numbers in display order, entries 1 .. 2,400,000
// (entry 0 is never used), held for the program's lifetime.
//
// Two things keep a command that never looks at most of the list from
// paying for it:
//  * The entries live in zero-initialised static storage (the process's
//    bss), which the system maps lazily: a page is only made when an entry
//    on it is first touched.  (A std::vector or a value-initialised new
//    would write all 9.6 MB at start.)
//  * "Every record in file order" (entry i = i - 1, selectall) is recorded
//    as a range instead of being written entry by entry.  Reads in the
//    range compute i - 1; a write into it first writes out the entries
//    below the written one that are still only implied, so entries are
//    materialised in order as a selection refills the list from entry 1.
//
// Reading and writing go through operator[], which behaves like an array
// of std::int32_t: an entry reads what was last written to it (0 when it
// never was), or i - 1 when fillidentity covered it since.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <iterator>

inline constexpr std::int32_t kMaxResults = 2400000;

class ResultList {
 public:
  static constexpr std::size_t kEntries = static_cast<std::size_t>(kMaxResults) + 1;

  class Entry {
   public:
    Entry(ResultList& list, std::size_t i) : list_(list), i_(i) {}
    operator std::int32_t() const { return list_.get(i_); }
    Entry& operator=(std::int32_t v) {
      list_.set(i_, v);
      return *this;
    }
    Entry& operator=(const Entry& other) { return *this = static_cast<std::int32_t>(other); }

   private:
    ResultList& list_;
    std::size_t i_;
  };

  // Random access over the values (read only), for copying a range out.
  class const_iterator {
   public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = std::int32_t;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::int32_t;

    const_iterator() = default;
    const_iterator(const ResultList* list, std::size_t i) : list_(list), i_(i) {}
    std::int32_t operator*() const { return list_->get(i_); }
    std::int32_t operator[](difference_type n) const { return list_->get(i_ + static_cast<std::size_t>(n)); }
    const_iterator& operator++() { return ++i_, *this; }
    const_iterator operator++(int) { const_iterator t = *this; ++i_; return t; }
    const_iterator& operator--() { return --i_, *this; }
    const_iterator operator--(int) { const_iterator t = *this; --i_; return t; }
    const_iterator& operator+=(difference_type n) { return i_ += static_cast<std::size_t>(n), *this; }
    const_iterator& operator-=(difference_type n) { return i_ -= static_cast<std::size_t>(n), *this; }
    friend const_iterator operator+(const_iterator a, difference_type n) { return a += n; }
    friend const_iterator operator+(difference_type n, const_iterator a) { return a += n; }
    friend const_iterator operator-(const_iterator a, difference_type n) { return a -= n; }
    friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
      return static_cast<difference_type>(a.i_) - static_cast<difference_type>(b.i_);
    }
    friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.i_ == b.i_; }
    friend auto operator<=>(const const_iterator& a, const const_iterator& b) { return a.i_ <=> b.i_; }

   private:
    const ResultList* list_ = nullptr;
    std::size_t i_ = 0;
  };

  constexpr ResultList() = default;
  ResultList(const ResultList&) = delete;
  ResultList& operator=(const ResultList&) = delete;

  Entry operator[](std::size_t i) { return Entry(*this, i); }
  std::int32_t operator[](std::size_t i) const { return get(i); }
  std::size_t size() const { return kEntries; }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, kEntries}; }

  // Entries 1 .. count := i - 1 without writing them; entries above count
  // keep their values.
  void fillidentity(std::int32_t count) {
    identlo_ = 0;
    identhi_ = count > 0 ? static_cast<std::size_t>(count) : 0;
  }

  std::int32_t get(std::size_t i) const {
    if (i > identlo_ && i <= identhi_) return static_cast<std::int32_t>(i) - 1;
    return data_[i];
  }

  void set(std::size_t i, std::int32_t v) {
    if (i > identlo_ && i <= identhi_) materialise(i);
    data_[i] = v;
  }

  // The storage, for checking which of its pages the system has made.
  const std::int32_t* storage() const { return data_; }

 private:
  // Writes out the implied entries below i and leaves entries i + 1 ..
  // identhi_ implied.
  void materialise(std::size_t i) {
    for (std::size_t j = identlo_ + 1; j < i; ++j) data_[j] = static_cast<std::int32_t>(j) - 1;
    identlo_ = i;
    if (identlo_ >= identhi_) identlo_ = identhi_ = 0;
  }

  // Entries identlo_ + 1 .. identhi_ are implied (i - 1), not stored.
  std::size_t identlo_ = 0;
  std::size_t identhi_ = 0;
  std::int32_t data_[kEntries] = {};
};
