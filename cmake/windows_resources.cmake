# The resources a Windows user expects in the program's files: version information in the EXE and
# the DLL, made from the project's version, and the application manifest of the program.

# The four version words; parts the project's version leaves out are 0.
set(QUORLFIX_RC_VERSION_PARTS)
foreach(part MAJOR MINOR PATCH TWEAK)
  if("${PROJECT_VERSION_${part}}" STREQUAL "")
    list(APPEND QUORLFIX_RC_VERSION_PARTS 0)
  else()
    list(APPEND QUORLFIX_RC_VERSION_PARTS ${PROJECT_VERSION_${part}})
  endif()
endforeach()
list(JOIN QUORLFIX_RC_VERSION_PARTS "," QUORLFIX_RC_VERSION_WORDS)
list(JOIN QUORLFIX_RC_VERSION_PARTS "." QUORLFIX_RC_VERSION)
set(QUORLFIX_RESOURCE_DIR ${PROJECT_BINARY_DIR}/resources)

# Gives the target a version resource: FILE_NAME is the name it is shipped under, TYPE APP or DLL.
function(quorlfix_version_resource target file_name type description)
  set(QUORLFIX_RC_FILE_NAME ${file_name})
  get_filename_component(QUORLFIX_RC_INTERNAL_NAME ${file_name} NAME_WE)
  set(QUORLFIX_RC_FILE_TYPE VFT_${type})
  set(QUORLFIX_RC_DESCRIPTION ${description})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version_info.rc.in ${QUORLFIX_RESOURCE_DIR}/${target}_version.rc @ONLY)
  target_sources(${target} PRIVATE ${QUORLFIX_RESOURCE_DIR}/${target}_version.rc)
endfunction()

# Gives a program the application manifest, as resource 1 of type RT_MANIFEST (24).
set(QUORLFIX_RC_DESCRIPTION "QUORLFIX quorl database fix")
configure_file(${PROJECT_SOURCE_DIR}/src/startup/resources/quorlfix.manifest.in
               ${QUORLFIX_RESOURCE_DIR}/quorlfix.manifest @ONLY)
file(CONFIGURE OUTPUT ${QUORLFIX_RESOURCE_DIR}/manifest.rc
     CONTENT "LANGUAGE 0, 0\n1 24 \"${QUORLFIX_RESOURCE_DIR}/quorlfix.manifest\"\n")
function(quorlfix_program_manifest target)
  target_sources(${target} PRIVATE ${QUORLFIX_RESOURCE_DIR}/manifest.rc)
  # windres reports no dependencies: a changed manifest must still rebuild the resource.
  set_source_files_properties(${QUORLFIX_RESOURCE_DIR}/manifest.rc TARGET_DIRECTORY ${target}
                              PROPERTIES OBJECT_DEPENDS ${QUORLFIX_RESOURCE_DIR}/quorlfix.manifest)
endfunction()

quorlfix_version_resource(quorlfix QUORLFIX.EXE APP ${QUORLFIX_RC_DESCRIPTION})
quorlfix_version_resource(tb28run TB28RUN.DLL DLL "${PROJECT_NAME} runtime library")
quorlfix_program_manifest(quorlfix)
