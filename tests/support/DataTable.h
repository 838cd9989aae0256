#pragma once

#include <QtTest/QTest>

#include <array>
#include <type_traits>

// A data table: declares the columns and gives the function that adds a row,
// so that a row's lists can be written in braces.
template <typename... C> void Row(const char *name, const std::type_identity_t<C> &...values)
{
    (QTest::newRow(name) << ... << values);
}
template <typename... C> auto Table(const std::array<const char *, sizeof...(C)> &names)
{
    size_t k = 0;
    (QTest::addColumn<C>(names[k++]), ...);
    return &Row<C...>;
}
