#include "engine/Messages.h"

#include <cstdarg>

#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/Profile.h"

namespace engine {

const char* Text(Msg id, const Profile& profile) { return OverlaidText(profile.messages, id); }

const char* Text(Msg id) { return Text(id, *Ctx().profile); }

namespace detail {
// The conversions were checked against the arguments where Format<id> was
// called, and every overlay against the shared form.
std::string FormatMessage(const char* text, ...) {
    va_list ap;
    va_start(ap, text);
    std::string out = FormatV(text, ap);
    va_end(ap);
    return out;
}
}  // namespace detail

}  // namespace engine
