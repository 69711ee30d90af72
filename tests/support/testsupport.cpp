#include "testsupport.h"

namespace testsupport {

QByteArray Tilde(QByteArray bytes)
{
    return bytes.replace('\0', '~');
}

} // namespace testsupport
