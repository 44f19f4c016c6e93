#include "ConversionJob.h"

ConversionJob::ConversionJob() = default;

ConversionJob::~ConversionJob() {
    // Leave no live-looking value behind: a stale pointer to a freed job then fails the
    // signature test instead of passing for a job.
    m_nSignature = 0;
    m_hThread = 0;
    m_pDecoder = nullptr;
    m_strSource.clear();
    m_strDest.clear();
    m_bAbort = 0;
    m_bDone = 0;
}
