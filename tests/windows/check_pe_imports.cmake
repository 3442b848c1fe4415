# Checks that each of FILES (a ;-list of programs and DLLs) imports only DLLs every Windows has,
# and dun_fwdl.dll: the compiler's runtimes and the thread library are linked in.
#   cmake -DOBJDUMP=... -DFILES=a.exe;b.dll -P check_pe_imports.cmake
cmake_policy(SET CMP0057 NEW)  # if(IN_LIST)
# The control panel's wxMSW adds GDI, accessibility, OLE automation, the shell's light API,
# themes, version information and printing, all parts of every Windows.
set(system_dlls advapi32.dll comctl32.dll comdlg32.dll kernel32.dll msvcrt.dll ole32.dll
    setupapi.dll shell32.dll user32.dll gdi32.dll oleacc.dll oleaut32.dll shlwapi.dll
    uxtheme.dll version.dll winspool.drv dun_fwdl.dll)
foreach(file IN LISTS FILES)
  execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} could not read ${file}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
  foreach(import IN LISTS imports)
    string(REPLACE "DLL Name: " "" name "${import}")
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" name)
    if(NOT name IN_LIST system_dlls)
      message(FATAL_ERROR "${file} needs ${name}, which a bare Windows does not have")
    endif()
  endforeach()
endforeach()
