#pragma once
// Sorting of anything addressable by index, through two callbacks:
// compare(i, j) -> negative, 0 or positive, and exchange(i, j).
namespace orbelin {

namespace detail {

template <class Compare, class Exchange>
void SortSmallRange(int first, int last, Compare& compare, Exchange& exchange) {
  if (last - first == 1) {
    if (compare(first, last) > 0) exchange(first, last);
    return;
  }
  const int middle = first + 1;
  if (compare(first, middle) > 0) exchange(first, middle);
  if (compare(middle, last) > 0) exchange(middle, last);
  if (compare(first, middle) > 0) exchange(first, middle);
}

}  // namespace detail

// Sorts the index range first..last (inclusive) in place with a quicksort on
// the middle element. Not stable. Nothing happens when first >= last.
template <class Compare, class Exchange>
void SortIndexed(int first, int last, Compare&& compare, Exchange&& exchange) {
  while (first < last) {
    if (last - first <= 2) {
      detail::SortSmallRange(first, last, compare, exchange);
      return;
    }
    int pivot = first + (last - first) / 2;
    int i = first;
    int j = last;
    do {
      // The bounds only matter for a compare that is not a consistent order.
      while (i < last && compare(i, pivot) < 0) ++i;
      while (j > first && compare(j, pivot) > 0) --j;
      if (i <= j) {
        if (i != j) {
          exchange(i, j);
          // The pivot value moved with the exchange; keep comparing against it.
          if (pivot == i) pivot = j;
          else if (pivot == j) pivot = i;
        }
        ++i;
        --j;
      }
    } while (i <= j);
    // Recurse into the smaller part and loop on the larger, so the depth stays
    // logarithmic whatever the input.
    if (j - first < last - i) {
      SortIndexed(first, j, compare, exchange);
      first = i;
    } else {
      SortIndexed(i, last, compare, exchange);
      last = j;
    }
  }
}

}  // namespace orbelin
