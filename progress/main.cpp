// Tessaline: rebuilds result.htm in the registration folder, which is the working directory.
// Command-line arguments are not read; the exit code is the only report.
#include "platform/LastResort.h"
#include "progress/Tessaline.h"

int main()
{
    return quilvane::RunWithLastResort("Tessaline", [] { return tessaline::GenerateProgressReport("."); });
}
