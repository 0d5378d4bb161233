#pragma once

#include <QString>
#include <sys/types.h>

namespace thermo {

// The file the build writes beside each of its executables that load modules, naming the
// build's module folder relative to that executable's folder. It is never installed.
inline constexpr char buildTreeMark[] = "thermometre.build-tree";

// The module file to load, canonical; or, when there is none, why not, in French.
struct ModuleSearch {
    QString path;
    QString failure;
};

// Where the module `fileName` is, decided once from the folder of the running executable and
// nothing else, so that no path of the machine the program was built on is ever looked at:
// - an executable run from the build tree has the build's mark beside it: the build's own
//   module, and only that one;
// - an installed executable finds its modules in `installedFolder` (../lib/thermometre)
//   relative to its folder. Such a module runs with the rights of whoever starts the program
//   (the teacher), so it is refused when anyone but root or `user` could have changed it: the
//   file or any folder on its way down from / owned by someone else, or writable by the group
//   or others.
ModuleSearch findModule(const QString& executableFolder, const QString& installedFolder,
                        const QString& fileName, uid_t user);

} // namespace thermo
