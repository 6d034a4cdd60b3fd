# The Windows build as a ZIP: QUORLFIX.EXE, TB28RUN.DLL and every DLL they load that Windows does
# not bring (on i686 the shared libgcc, libstdc++ and winpthread). `cpack` in the build directory
# writes it to package/.

# Where the cross toolchain keeps its own DLLs: beside libstdc++ and beside the mingw libraries.
set(QUORLFIX_TOOLCHAIN_DLL_DIRS)
foreach(dll libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll} OUTPUT_VARIABLE found
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(IS_ABSOLUTE "${found}")
    get_filename_component(dir "${found}" REALPATH)
    get_filename_component(dir "${dir}" DIRECTORY)
    list(APPEND QUORLFIX_TOOLCHAIN_DLL_DIRS "${dir}")
  endif()
endforeach()

install(TARGETS quorlfix tb28run RUNTIME DESTINATION . ARCHIVE DESTINATION lib COMPONENT import_library
        EXCLUDE_FROM_ALL)

# The DLLs they import, resolved with the toolchain's objdump at install time (install's own
# RUNTIME_DEPENDENCIES refuses to run for a cross build). Names that Windows itself provides stay
# unresolved and are not shipped; the package test checks the result.
install(CODE "
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND \"${CMAKE_OBJDUMP}\")
  file(GET_RUNTIME_DEPENDENCIES
       EXECUTABLES \"$<TARGET_FILE:quorlfix>\"
       LIBRARIES \"$<TARGET_FILE:tb28run>\"
       DIRECTORIES ${QUORLFIX_TOOLCHAIN_DLL_DIRS}
       PRE_EXCLUDE_REGEXES \"^api-ms-\" \"^ext-ms-\"
       RESOLVED_DEPENDENCIES_VAR shipped
       UNRESOLVED_DEPENDENCIES_VAR from_windows)
  list(FILTER shipped EXCLUDE REGEX \"/TB28RUN\\\\.DLL$\")
  file(INSTALL \${shipped} DESTINATION \"\${CMAKE_INSTALL_PREFIX}\" FOLLOW_SYMLINK_CHAIN)
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(dll \${shipped})
      get_filename_component(name \"\${dll}\" NAME)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug \"\${CMAKE_INSTALL_PREFIX}/\${name}\")
    endforeach()
  endif()
")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME QUORLFIX)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CPACK_SYSTEM_NAME windows-x64)
else()
  set(CPACK_SYSTEM_NAME windows-i686)
endif()
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_PACKAGE_FILE_NAME QUORLFIX-${CPACK_SYSTEM_NAME})
set(CPACK_STRIP_FILES ON)
set(QUORLFIX_PACKAGE_FILE ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
