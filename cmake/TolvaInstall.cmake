# Installing and packaging the kit: install rules, pkg-config files, the CMake
# package "fieldaudit" with its imported targets fieldaudit::<name>, the same
# names as aliases for a project that builds the kit as a subproject, and the
# Debian and tar packages (CPack).
#
# A library or a program joins all of that with one call, placed after the
# target is defined (in its own CMakeLists.txt):
#
#   tolva_install_library(<target> [DESCRIPTION <text>] [REQUIRES <module>...])
#     <target> is a static library whose public headers are in include/.
#     Makes the alias fieldaudit::<target>, installs lib<target>.a, exports it
#     as fieldaudit::<target> in the CMake package and installs <target>.pc.
#     The .pc file requires every pkg-config module that <target> links as an
#     imported PkgConfig::<prefix> target (made by pkg_check_modules(<prefix>
#     ... IMPORTED_TARGET <module>)), so that `pkg-config --cflags --libs
#     <target>` gives a C program all it needs; the CMake package finds those
#     modules for its users in the same way. REQUIRES adds further modules to
#     the .pc file alone. DESCRIPTION is the .pc file's description line.
#
#   tolva_install_program(<target>)
#     Makes the alias fieldaudit::<target>, installs the program into bin/ and
#     exports it as the imported executable fieldaudit::<target>.
#
# tolva_install_package() comes once, after every component: it installs all
# headers of include/ (public headers need no registration) and the generated
# version header, writes the .pc files and the CMake package, and sets up
# CPack for a top-level build.
include_guard(GLOBAL)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

option(TOLVA_INSTALL "Install rules for the kit's libraries, programs and headers"
  ${PROJECT_IS_TOP_LEVEL})
set(TOLVA_PACKAGE_CONTACT "Gateway interface test kit maintainers" CACHE STRING
  "Maintainer named in the Debian package")

# Headers go into a folder of their own: programs keep writing
# #include "fieldaudit.h" and the system's include folder keeps its names free.
set(TOLVA_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/fieldaudit)
set(TOLVA_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/fieldaudit)
set(TOLVA_GENERATED_INCLUDE_DIR ${PROJECT_BINARY_DIR}/include)

# The packages: their name, Debian architecture and dependencies. A cross build
# names its Debian architecture (the toolchain file does); otherwise the
# packages are for the machine that builds them.
set(TOLVA_PACKAGE_NAME tolva-capi-kit)
set(TOLVA_DEB_DEPENDS libglib2.0-0)
if(CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
  set(TOLVA_DEB_ARCHITECTURE ${CPACK_DEBIAN_PACKAGE_ARCHITECTURE})
else()
  if(CMAKE_CROSSCOMPILING AND PROJECT_IS_TOP_LEVEL)
    message(WARNING "CPACK_DEBIAN_PACKAGE_ARCHITECTURE not set: the packages would carry "
      "the build machine's architecture")
  endif()
  execute_process(COMMAND dpkg --print-architecture
    OUTPUT_VARIABLE TOLVA_DEB_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT TOLVA_DEB_ARCHITECTURE)
    set(TOLVA_DEB_ARCHITECTURE ${CMAKE_SYSTEM_PROCESSOR})
  endif()
endif()

# The version of project() in a public header, for C programs.
configure_file(${CMAKE_CURRENT_LIST_DIR}/fieldaudit_version.h.in
  ${TOLVA_GENERATED_INCLUDE_DIR}/fieldaudit_version.h @ONLY)

function(tolva_install_library target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESCRIPTION" "REQUIRES")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "tolva_install_library(${target}): unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  get_target_property(type ${target} TYPE)
  if(NOT type STREQUAL "STATIC_LIBRARY")
    message(FATAL_ERROR "tolva_install_library(${target}): not a static library")
  endif()
  add_library(fieldaudit::${target} ALIAS ${target})

  # A library names the public include folder by its place in the source tree,
  # which is valid in this build only; installed, the headers are in
  # TOLVA_INSTALL_INCLUDEDIR. Both see the generated version header.
  get_target_property(dirs ${target} INTERFACE_INCLUDE_DIRECTORIES)
  set(interface_dirs "")
  foreach(dir IN LISTS dirs)
    if(dir STREQUAL "${PROJECT_SOURCE_DIR}/include")
      set(dir "$<BUILD_INTERFACE:${dir}>")
    endif()
    list(APPEND interface_dirs "${dir}")
  endforeach()
  set_property(TARGET ${target} PROPERTY INTERFACE_INCLUDE_DIRECTORIES ${interface_dirs})
  target_include_directories(${target} INTERFACE
    $<BUILD_INTERFACE:${TOLVA_GENERATED_INCLUDE_DIR}>
    $<INSTALL_INTERFACE:${TOLVA_INSTALL_INCLUDEDIR}>)

  if(NOT arg_DESCRIPTION)
    set(arg_DESCRIPTION "${target}, static library of the gateway interface test kit")
  endif()
  set_target_properties(${target} PROPERTIES
    TOLVA_PC_DESCRIPTION "${arg_DESCRIPTION}" TOLVA_PC_REQUIRES "${arg_REQUIRES}")
  set_property(GLOBAL APPEND PROPERTY TOLVA_INSTALLED_LIBRARIES ${target})
  if(TOLVA_INSTALL)
    install(TARGETS ${target} EXPORT fieldauditTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
  endif()
endfunction()

function(tolva_install_program target)
  add_executable(fieldaudit::${target} ALIAS ${target})
  set_property(GLOBAL APPEND PROPERTY TOLVA_INSTALLED_PROGRAMS ${target})
  if(TOLVA_INSTALL)
    install(TARGETS ${target} EXPORT fieldauditTargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endfunction()

# The pkg-config modules that <target> links as PkgConfig::<prefix> targets,
# as "<prefix>=<module>" items in <out>.
function(_tolva_pkg_config_links target out)
  get_target_property(links ${target} INTERFACE_LINK_LIBRARIES)
  set(found "")
  foreach(link IN LISTS links)
    if(link MATCHES "^(\\$<LINK_ONLY:)?PkgConfig::([A-Za-z0-9_]+)>?$")
      set(prefix ${CMAKE_MATCH_2})
      if(NOT ${prefix}_MODULE_NAME)
        message(FATAL_ERROR "${target} links PkgConfig::${prefix}: find it with "
          "pkg_check_modules(${prefix} ... IMPORTED_TARGET <one module>)")
      endif()
      list(APPEND found "${prefix}=${${prefix}_MODULE_NAME}")
    endif()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

# <target>.pc. Its prefix is the one of the installation, so it is written when
# installing: `cmake --install --prefix P` gives prefix=P, and DESTDIR staging
# (firmware builds, CPack) keeps the final one, such as /usr, which
# PKG_CONFIG_SYSROOT_DIR then maps into the staging folder.
function(_tolva_install_pc target requires)
  set(libdir "${CMAKE_INSTALL_LIBDIR}")
  set(includedir "${TOLVA_INSTALL_INCLUDEDIR}")
  foreach(dir libdir includedir)
    if(NOT IS_ABSOLUTE "${${dir}}")
      set(${dir} "\${prefix}/${${dir}}")
    endif()
  endforeach()
  get_target_property(description ${target} TOLVA_PC_DESCRIPTION)
  set(requires_line "")
  if(requires)
    list(JOIN requires " " requires)
    set(requires_line "Requires: ${requires}\n")
  endif()
  set(template ${PROJECT_BINARY_DIR}/pkgconfig/${target}.pc.in)
  set(pc ${PROJECT_BINARY_DIR}/pkgconfig/install/${target}.pc)
  file(GENERATE OUTPUT ${template} CONTENT "prefix=@TOLVA_PC_PREFIX@
libdir=${libdir}
includedir=${includedir}

Name: ${target}
Description: ${description}
Version: ${PROJECT_VERSION}
${requires_line}Libs: -L\${libdir} -l$<TARGET_FILE_BASE_NAME:${target}>
Cflags: -I\${includedir}
")
  install(CODE "
    get_filename_component(TOLVA_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
    configure_file(\"${template}\" \"${pc}\" @ONLY)")
  install(FILES ${pc} DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()

function(tolva_install_package)
  if(NOT TOLVA_INSTALL)
    return()
  endif()
  get_property(libraries GLOBAL PROPERTY TOLVA_INSTALLED_LIBRARIES)

  set(pkg_config_links "")
  foreach(lib IN LISTS libraries)
    _tolva_pkg_config_links(${lib} links)
    get_target_property(requires ${lib} TOLVA_PC_REQUIRES)
    if(NOT requires)
      set(requires "")
    endif()
    foreach(link IN LISTS links)
      string(REGEX REPLACE "^[^=]*=" "" module "${link}")
      list(APPEND requires ${module})
    endforeach()
    list(REMOVE_DUPLICATES requires)
    _tolva_install_pc(${lib} "${requires}")
    list(APPEND pkg_config_links ${links})
  endforeach()
  list(REMOVE_DUPLICATES pkg_config_links)

  install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/ DESTINATION ${TOLVA_INSTALL_INCLUDEDIR}
    FILES_MATCHING PATTERN "*.h")
  install(FILES ${TOLVA_GENERATED_INCLUDE_DIR}/fieldaudit_version.h
    DESTINATION ${TOLVA_INSTALL_INCLUDEDIR})

  install(EXPORT fieldauditTargets NAMESPACE fieldaudit:: DESTINATION ${TOLVA_INSTALL_CMAKEDIR})
  set(TOLVA_PKG_CONFIG_LINKS "${pkg_config_links}")
  set(TOLVA_LIBRARIES "${libraries}")
  configure_package_config_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/fieldauditConfig.cmake.in
    ${PROJECT_BINARY_DIR}/cmake/fieldauditConfig.cmake
    INSTALL_DESTINATION ${TOLVA_INSTALL_CMAKEDIR})
  # Same major version: compatible. The file also refuses a consumer whose
  # pointer size differs (a 64-bit host build finding the 32-bit ARM package).
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/cmake/fieldauditConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/cmake/fieldauditConfig.cmake
    ${PROJECT_BINARY_DIR}/cmake/fieldauditConfigVersion.cmake
    DESTINATION ${TOLVA_INSTALL_CMAKEDIR})

  if(PROJECT_IS_TOP_LEVEL)
    _tolva_cpack()
  endif()
endfunction()

# `cpack -G DEB` and `cpack -G TGZ`: both hold exactly what the install rules
# install, under /usr. The files are staged with DESTDIR, as a firmware build
# does, so the pkg-config files in the packages name /usr. The tar file has no
# top folder: it unpacks into a root file system or a firmware staging folder.
macro(_tolva_cpack)
  set(CPACK_PACKAGE_NAME ${TOLVA_PACKAGE_NAME})
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Test kit for the C interface of the home-gateway middleware")
  set(CPACK_PACKAGE_CONTACT "${TOLVA_PACKAGE_CONTACT}")
  set(CPACK_SET_DESTDIR ON)
  set(CPACK_INSTALL_PREFIX /usr)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_PACKAGE_FILE_NAME
    ${TOLVA_PACKAGE_NAME}-${PROJECT_VERSION}-${TOLVA_DEB_ARCHITECTURE})
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${TOLVA_DEB_ARCHITECTURE})
  set(CPACK_DEBIAN_PACKAGE_DEPENDS ${TOLVA_DEB_DEPENDS})
  # A program linked with the static libraries needs GLib's development files.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libglib2.0-dev, pkg-config")
  include(CPack)
endmacro()
