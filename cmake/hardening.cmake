# Debian's hardening, as dpkg-buildflags gives it with hardening=+all, plus the stack-clash and
# control-flow protections of newer Debian releases where the compiler has them: every library,
# module and executable built here gets it, so that what is tested is what is installed.
# Sanitizer builds go without: ASan has its own stack checks and replaces the fortified
# functions' checks with better ones.
#
# Sets THERMO_HARDENED, and THERMO_PROTECTIONS: what the package's check may expect besides
# Debian's defaults (the optional flags compiled in; control-flow-marked when the binaries also
# say so, which the linker only does when the C library's start files are built for it).
option(THERMO_HARDENING "Build with Debian's hardening flags" ON)
set(THERMO_HARDENED OFF)
set(THERMO_PROTECTIONS)
if(NOT THERMO_HARDENING OR CMAKE_CXX_FLAGS MATCHES "-fsanitize")
  return()
endif()

include(CheckPIESupported)
include(CheckCXXCompilerFlag)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
# Fortified functions need the optimiser; a Debug build would only be warned.
add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE>"
                    "$<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>")
foreach(flag -fstack-clash-protection -fcf-protection)
  string(MAKE_C_IDENTIFIER "THERMO_HAS${flag}" found)
  check_cxx_compiler_flag(${flag} ${found})
  if(${found})
    add_compile_options(${flag})
    list(APPEND THERMO_PROTECTIONS ${flag})
  endif()
endforeach()
add_link_options(LINKER:-z,relro LINKER:-z,now)
# The program's own strings name no folder of the machine it was built on.
add_compile_options(-fmacro-prefix-map=${PROJECT_SOURCE_DIR}/=)

if(THERMO_HAS_fcf_protection AND NOT DEFINED CACHE{THERMO_CONTROL_FLOW_MARKED})
  set(probe ${CMAKE_BINARY_DIR}/CMakeFiles/thermo_control_flow)
  file(WRITE ${probe}/main.cpp "int main() { return 0; }\n")
  try_compile(built ${probe}/build SOURCES ${probe}/main.cpp
              COMPILE_DEFINITIONS -fcf-protection COPY_FILE ${probe}/probe)
  set(notes "")
  if(built)
    execute_process(COMMAND ${CMAKE_READELF} -n ${probe}/probe OUTPUT_VARIABLE notes)
  endif()
  if(notes MATCHES "IBT, SHSTK")
    set(marked ON)
  else()
    set(marked OFF)
  endif()
  set(THERMO_CONTROL_FLOW_MARKED ${marked} CACHE INTERNAL "Executables show their control-flow protection")
  message(STATUS "Control-flow protection shown in executables: ${marked}")
endif()
if(THERMO_CONTROL_FLOW_MARKED)
  list(APPEND THERMO_PROTECTIONS control-flow-marked)
endif()
set(THERMO_HARDENED ON)
