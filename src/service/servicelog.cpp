#include "service/servicelog.h"

namespace ledsign {

Q_LOGGING_CATEGORY(lcService, "ledsign.service")
Q_LOGGING_CATEGORY(lcCards, "ledsign.cards")
Q_LOGGING_CATEGORY(lcSend, "ledsign.send")

} // namespace ledsign
