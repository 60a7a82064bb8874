#include "faxcourier/settings/fax_job.h"

namespace korva {

FaxJob& globalFaxJob()
{
    static FaxJob job;
    return job;
}

}  // namespace korva
