// Requests that timed out while the driver still held them (see ExecSrb).
#ifndef KELVADO_ENGINE_ASPI_ASPI_REQUESTS_H
#define KELVADO_ENGINE_ASPI_ASPI_REQUESTS_H

// Frees every held request whose event the driver has signalled since.
void ReleaseFinishedRequests();

#endif
