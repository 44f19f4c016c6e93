#include "Tokenizer.h"

#include "MultiByteText.h"

#include <algorithm>
#include <cstring>
#include <string_view>

CTokenizer::CTokenizer(LPCSTR pszDelimiters) {
    try {
        if (pszDelimiters != nullptr) {
            m_strDelimiters = pszDelimiters;
        }
    } catch (...) {
        // Without memory for the set the object splits at nothing, which is still safe.
    }
}

int CTokenizer::Split(LPCSTR pszText, LPCSTR pszDelimiters) {
    return Split(kMaxTokens, pszText, pszDelimiters);
}

int CTokenizer::Split(int nMax, LPCSTR pszText, LPCSTR pszDelimiters) {
    m_nCount = 0;
    std::fill(std::begin(m_apszTokens), std::end(m_apszTokens), nullptr);
    if (pszText == nullptr) {
        return 0;
    }
    try {
        if (pszDelimiters != nullptr) {
            m_strDelimiters = pszDelimiters;
        }
        nMax = std::min(nMax, kMaxTokens);
        m_strText.assign(pszText);
    } catch (...) {
        return m_nCount;
    }

    char* const end = m_strText.data() + m_strText.size();
    char* position = m_strText.data();
    int endedTokens = 0;
    for (int slot = 0; slot < nMax; ++slot) {
        m_apszTokens[slot] = position;
        const std::string_view rest(position, static_cast<std::size_t>(end - position));
        const std::size_t found = mbtext::FindFirstOf(rest, m_strDelimiters);
        if (found != std::string_view::npos) {
            position[found] = '\0';
            position += found + 1;
            ++endedTokens;
        } else if (!rest.empty()) {
            position = end;
        } else {
            // The text is used up: this slot points at its end and is not among the slots counted.
            nMax = slot;
        }
    }

    m_nCount = static_cast<int>(std::count_if(m_apszTokens, m_apszTokens + std::max(nMax, 0),
                                              [](const char* token) { return *token != '\0'; }));
    m_nCount = std::max(m_nCount, endedTokens);
    return m_nCount;
}

LPCSTR CTokenizer::GetItem(int nIndex) const {
    // A caller that adds one to the count (paths that begin with two separators) can ask for
    // the slot after the last; that reads as empty rather than outside the array.
    if (nIndex < 0 || nIndex >= kMaxTokens) {
        return "";
    }
    const char* token = m_apszTokens[nIndex];
    return token != nullptr ? token : "";
}
