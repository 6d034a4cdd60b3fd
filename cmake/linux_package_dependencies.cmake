# Included by cpack (CPACK_PROJECT_CONFIG_FILE) once the files it names are built: the Debian
# package's Depends and Recommends, from the libraries those files link as dpkg-shlibdeps finds
# them. The runtime and the host layer are the package's own and give no dependency.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

# The "package (>= version), ..." list for the files.
function(quorlfix_shlibdeps result)
  set(work ${CPACK_PACKAGE_DIRECTORY}/shlibdeps)
  file(REMOVE_RECURSE ${work})
  # dpkg-shlibdeps runs in a source package's top directory; an empty control file will do.
  file(WRITE ${work}/debian/control "")
  set(private)
  foreach(dir IN LISTS QUORLFIX_PACKAGE_PRIVATE_DIRS)
    list(APPEND private -l${dir})
  endforeach()
  execute_process(COMMAND dpkg-shlibdeps -O --ignore-missing-info ${private} ${ARGN}
                  WORKING_DIRECTORY ${work} RESULT_VARIABLE code OUTPUT_VARIABLE found ERROR_VARIABLE errors)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "dpkg-shlibdeps (package dpkg-dev) failed on ${ARGN}:\n${errors}")
  endif()
  string(REGEX REPLACE "^shlibs:Depends=" "" found "${found}")
  string(STRIP "${found}" found)
  set(${result} "${found}" PARENT_SCOPE)
endfunction()

quorlfix_shlibdeps(depends ${QUORLFIX_PACKAGE_REQUIRED})
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${depends}")

# The package names of a "package (>= version), ..." list.
function(quorlfix_package_names result list)
  string(REPLACE ", " ";" list "${list}")
  set(names)
  foreach(entry IN LISTS list)
    string(REGEX MATCH "^[^ ]+" name "${entry}")
    list(APPEND names "${name}")
  endforeach()
  set(${result} "${names}" PARENT_SCOPE)
endfunction()

if(QUORLFIX_PACKAGE_RECOMMENDED)
  quorlfix_shlibdeps(plugin ${QUORLFIX_PACKAGE_RECOMMENDED})
  # Only what the required part does not bring already.
  quorlfix_package_names(required "${depends}")
  string(REPLACE ", " ";" plugin "${plugin}")
  set(recommends)
  foreach(entry IN LISTS plugin)
    string(REGEX MATCH "^[^ ]+" name "${entry}")
    list(FIND required "${name}" at)
    if(at EQUAL -1)
      list(APPEND recommends "${entry}")
    endif()
  endforeach()
  list(JOIN recommends ", " recommends)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "${recommends}")
endif()
