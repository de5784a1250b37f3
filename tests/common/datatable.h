// SPDX-License-Identifier: MIT
#pragma once

#include <QtTest>

#include <tuple>
#include <utility>

// The columns of a data-driven test given once, by their types:
//   using Rows = DataTable<QString, int>;      // name, count
//   Rows::columns(); Rows::row("two", "AB", 2);  // in the _data() function
//   const auto [name, count] = Rows::fetch();    // in the test
// A row must give every column, converted to its type where it is written.
template <typename... T> class DataTable {
public:
    static void columns() { addColumns(std::index_sequence_for<T...>{}); }

    static void row(const char *tag, const T &...values) { (QTest::newRow(tag) << ... << values); }

    static std::tuple<T...> fetch() { return fetchColumns(std::index_sequence_for<T...>{}); }

private:
    static_assert(sizeof...(T) <= 10, "up to ten columns");
    static constexpr const char *names[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

    template <std::size_t... I> static void addColumns(std::index_sequence<I...>)
    {
        (QTest::addColumn<T>(names[I]), ...);
    }

    template <std::size_t... I> static std::tuple<T...> fetchColumns(std::index_sequence<I...>)
    {
        return std::tuple<T...>(*static_cast<T *>(QTest::qData(names[I], qMetaTypeId<T>()))...);
    }
};
