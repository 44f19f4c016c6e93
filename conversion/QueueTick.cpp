// The main window's once-a-second walk over its job list.
#include "CConverterDlg.h"
#include "CReportListCtrl.h"
#include "ConversionJob.h"
#include "JobProgress.h"
#include "StringTable.h"
#include "resource.h"

#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <charconv>
#include <mutex>
#include <utility>

namespace {

// "42.5% complete": one decimal, whatever the user's locale writes for a decimal point.
QString StatusText(double percent) {
    char digits[32];
    const auto written = std::to_chars(digits, digits + sizeof digits, percent, std::chars_format::fixed, 1);
    QString text = QString::fromLatin1(digits, written.ptr - digits);
    text += QStringLiteral("% ");
    text += QString::fromUtf8(LoadStringResource(IDS_COMPLETE));
    return text;
}

bool IsFinished(const ConversionJob* job) {
    return job == nullptr || job->m_nSignature != JOB_SIGNATURE || job->m_bDone != 0;
}

void SetTextIfChanged(QLineEdit& edit, const QString& text) {
    if (edit.text() != text) {
        edit.setText(text);
    }
}

} // namespace

void CConverterDlg::OnQueueTimer() {
    m_queueTimer.stop();
    try {
        int rows = m_listJobs->GetItemCount();
        for (int row = 0; row < rows;) {
            auto* job = reinterpret_cast<ConversionJob*>(m_listJobs->GetItemData(row));
            if (IsFinished(job)) {
                m_listJobs->DeleteItem(row);
                --rows;
                if (rows == 0 && m_bExiting == 0) {
                    hide();
                }
                // A record without the job mark is none of ours to free.
                if (job != nullptr && job->m_nSignature == JOB_SIGNATURE) {
                    ReleaseJob(job);
                }
                continue;
            }
            if (row == 0) {
                StartJobWorker(job);
            }
            if (const auto percent = ReadJobProgress(*job)) {
                m_listJobs->UpdateItemText(row, 1, StatusText(*percent), 0);
                if (row == 0) {
                    ShowHeadJob(job->m_strSource, job->m_strDest, static_cast<int>(*percent));
                }
            }
            ++row;
        }
        if (rows == 0) {
            ShowHeadJob({}, {}, 0);
        }
        ReleaseEndedOrphans();
    } catch (...) {
        // The rest of this walk is skipped; the next tick starts afresh.
    }
    m_queueTimer.start(1000);
}

void CConverterDlg::ShowHeadJob(const std::string& source, const std::string& dest, int percent) {
    SetTextIfChanged(*m_sourceEdit, QFile::decodeName(source.c_str()));
    SetTextIfChanged(*m_destEdit, QFile::decodeName(dest.c_str()));
    m_progress->setRange(0, 100);
    m_progress->setValue(percent);
}

void CConverterDlg::ReleaseJob(ConversionJob* job) {
    bool workerEnded = false;
    {
        // Taken so that a worker's last writes are over before the record goes.
        std::lock_guard guard(job->m_lifeLock);
        workerEnded = job->m_hThread == 0;
    }
    if (!workerEnded) {
        m_orphanedJobs.push_back(job);
        return;
    }
    const auto destination = m_destinationsInUse.find(job->m_strDest);
    if (destination != m_destinationsInUse.end() && --destination->second == 0) {
        m_destinationsInUse.erase(destination);
    }
    delete job;
}

void CConverterDlg::ReleaseEndedOrphans() {
    for (ConversionJob* job : std::exchange(m_orphanedJobs, {})) {
        ReleaseJob(job);
    }
}
