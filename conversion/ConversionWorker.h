#pragma once

// The thread function of one job: converts the job's source into its destination, reports a
// failure through AfxMessageBox, and marks the job done. `job` is a ConversionJob*.
void ConversionWorker(void* job);
