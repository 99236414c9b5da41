// The CD-database group's values. The proxy password is plain text in the
// registry, where the player has always kept it.
#include "options/cddb_option.h"

namespace qap::options {
namespace {

constexpr ValueRow kValues[] = {
    Flag("BehindProxy", 0, false),
    Flag("UseCDDB", 1, true).Before(0),
    Flag("FirstCheckInCDDB", 2, false),
    Flag("SubmitCDDB", 3, false),
    Flag("GetSupplementaryInfo", 4, false),
    Text("Host", 5, 128),
    Number("Port", 6, 0),
    Text("UserName", 7, 128),
    Text("Password", 8, 128),
};

}  // namespace

CddbOption::CddbOption() : OptionGroup("CDDB", kValues) {}

}  // namespace qap::options
