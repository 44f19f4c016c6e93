// Cuts a text into tokens at delimiter characters and hands them out by index.
#pragma once

#include "Win32Types.h"

#include <string>

class CTokenizer {
public:
    static constexpr int kMaxTokens = 1024;

    // A NULL pszDelimiters leaves the delimiter set empty until a Split names one.
    explicit CTokenizer(LPCSTR pszDelimiters = nullptr);
    CTokenizer(const CTokenizer&) = delete;
    CTokenizer& operator=(const CTokenizer&) = delete;

    // Splits a private copy of pszText at every character of the delimiter set (a NULL
    // pszDelimiters keeps the current set) into at most min(nMax, 1024) slots. Returns the
    // larger of the number of delimiters that ended a token and the number of non-empty tokens.
    int Split(LPCSTR pszText, LPCSTR pszDelimiters);
    int Split(int nMax, LPCSTR pszText, LPCSTR pszDelimiters);

    // The token in slot nIndex (0 to 1023), or "" for a slot that holds none and for an index
    // outside the slots; never NULL.
    LPCSTR GetItem(int nIndex) const;

private:
    char* m_apszTokens[kMaxTokens] = {};
    int m_nCount = 0;
    std::string m_strDelimiters;
    std::string m_strText;
};
