#include "tools/Demo.h"

namespace TolvexHost {

const char* const DemoScript = R"(# Card 1001 read from the magnetic stripe (input kind 1) at unit 2: found, with an
# output text, and the input is dumped to In2.txt.
card-info 1001 --rest 1 --unit 2 --inp-kind 1 --input "stripe;1001;"
# The same card typed in by the cashier (kind 0): the second answer, no output text.
card-info 1001 --rest 1 --unit 2
# A locked card, and a card the scenario does not know.
card-info 1002 --rest 1 --unit 2
card-info 4242 --rest 1 --unit 2
# A batch: a sale at unit 2, a large refund at unit 2, a sale at unit 3. The
# refund is refused (result 1); the input is dumped once per unit.
transactions --input "batch-7" --tx card=1001,account=501,kind=1,summa=123.45,rest=1,date=2026-12-08,unit=2,check=10,vat1=20.00:20.58 --tx card=1001,account=501,kind=2,summa=600.00,rest=1,date=2026-12-08,unit=2,check=11 --tx card=1002,account=502,kind=1,summa=15.00,rest=1,date=2026-12-08,unit=3,check=12
# Card images: one from the scenario, and card 0, which the library answers itself.
card-image 1001
card-image 0
# Cards by e-mail: letter case does not matter; an unknown address is not found.
find-email ANNA.PETROVA@example.com
find-email nobody@example.com
)";

}  // namespace TolvexHost
