#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

// A broken invariant of a fuzz target: says what broke and on which text
// (percent-encoded, so that control bytes show), then aborts for libFuzzer.
[[noreturn]] inline void FuzzFail(const char *target, const char *what, const QByteArray &detail)
{
    std::fprintf(stderr, "%s: %s\n%s\n", target, what, detail.toPercentEncoding(" =[];").constData());
    std::abort();
}

[[noreturn]] inline void FuzzFail(const char *target, const char *what, const QString &detail = {})
{
    FuzzFail(target, what, detail.toLatin1());
}

#define FUZZ_CHECK(target, cond, detail)                                                                               \
    do {                                                                                                               \
        if (!(cond))                                                                                                   \
            FuzzFail(target, #cond, detail);                                                                           \
    } while (0)
