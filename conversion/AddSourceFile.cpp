// Adding a source file to the main window's job list, and starting a job's worker.
#include "AppSettings.h"
#include "CConverterDlg.h"
#include "CReportListCtrl.h"
#include "ConversionJob.h"
#include "DestinationName.h"
#include "DirectoryChain.h"
#include "StringTable.h"
#include "WorkerStart.h"
#include "resource.h"

#include <QFile>
#include <memory>
#include <mutex>

void CConverterDlg::AddSourceFile(const std::string& path) {
    auto job = std::make_unique<ConversionJob>();
    job->m_strSource = path;
    // Every added file sees the stored settings as they are now.
    m_settings.LoadSettings();
    job->m_strDest = UniqueDestination(DestinationForSource(path, m_settings.iWavLoc, m_settings.sWavLoc),
                                       [this](const std::string& name) { return IsDestinationTaken(name); });
    if (m_settings.iWavLoc != 0 && !m_settings.sWavLoc.empty()) {
        // A folder that cannot be made shows up as the worker's output error.
        CreateDirectoryChain(m_settings.sWavLoc.c_str());
    }

    const int row = m_listJobs->InsertItemText(m_listJobs->GetItemCount(), 0, QFile::decodeName(path.c_str()),
                                               reinterpret_cast<LPARAM>(job.get()));
    if (row == -1) {
        return;
    }
    ConversionJob* added = job.release();
    ++m_destinationsInUse[added->m_strDest];
    m_listJobs->InsertItemText(row, 1, QString::fromUtf8(LoadStringResource(IDS_PENDING)), 0);
    if (m_settings.Async != 0) {
        StartJobWorker(added);
    }
}

void CConverterDlg::StartJobWorker(ConversionJob* job) {
    {
        // Done and thread are judged together, so a worker that is ending is never joined by a second.
        std::lock_guard guard(job->m_lifeLock);
        if (job->m_hThread != 0 || job->m_bDone != 0) {
            return;
        }
    }
    // Only this thread starts workers, so the job is still idle here.
    const ThreadHandle thread = StartWorkerThread(*job);
    if (thread != 0) {
        SetThreadPriority(thread, m_settings.MapPriority());
    }
}

bool CConverterDlg::IsDestinationTaken(const std::string& destination) const {
    return m_destinationsInUse.contains(destination);
}
