# Writes, beside each artefact a package build delivered, ARTEFACT.spdx.json:
# an SPDX 2.3 document that names the artefact (its file name and SHA-256),
# the program it holds, and what goes with the program: for a static program,
# each package whose files the linker put into it, as Debian's package
# database knows them (glibc, libstdc++, libgcc; MinGW-w64's runtime for
# Windows), with its Debian version and a purl; for a Debian package, the
# packages it depends on. Nothing is written by hand: the files are those the
# linker's map of the program names (packaging.cmake asks for it), and the
# packages and versions are dpkg's. Run by package-build.cmake once CPack has
# delivered the artefacts, as
#
#   cmake -DBUILD=FOLDER -P sbom.cmake
#
# Its time is SOURCE_DATE_EPOCH, as the artefacts', so that it is made again
# the same byte for byte.
cmake_minimum_required(VERSION 3.25)
file(READ ${BUILD}/package-record.tsv record)
string(REPLACE "\n" "" record "${record}")
string(REPLACE "\t" ";" record "${record}")
list(GET record 1 packages)
list(GET record 2 version)
list(GET record 3 debian)
list(GET record 4 triple)
list(GET record 7 static)
list(GET record 9 kinds)
list(GET record 10 artefacts)
string(REPLACE "," ";" kinds "${kinds}")
string(REPLACE "," ";" artefacts "${artefacts}")
include(${BUILD}/cpack-time.cmake)
string(TIMESTAMP created "%Y-%m-%dT%H:%M:%SZ" UTC)

# json(VARIABLE TEXT): VARIABLE becomes TEXT as a JSON string.
function(json variable text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  string(REPLACE "\n" "\\n" text "${text}")
  string(REPLACE "\t" "\\t" text "${text}")
  set(${variable} "\"${text}\"" PARENT_SCOPE)
endfunction()

# purl(VARIABLE NAME VERSION ARCH): the package URL of a Debian package, its
# version percent-encoded where purl asks.
function(purl variable name version arch)
  set(at "")
  if(version)
    string(REPLACE "%" "%25" version "${version}")
    string(REPLACE "+" "%2B" version "${version}")
    string(REPLACE ":" "%3A" version "${version}")
    set(at "@${version}")
  endif()
  set(${variable} "pkg:deb/debian/${name}${at}?arch=${arch}&distro=debian-12" PARENT_SCOPE)
endfunction()

# The Debian packages the linker took files of: for each, its name, version,
# architecture, source and summary, and the files.
set(linked)
if(static OR triple MATCHES "mingw")
  file(STRINGS ${BUILD}/tuition.map lines REGEX "^(LOAD )?/[^ ]+[.](a|o)([(]|$)")
  set(files)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^LOAD " "" path "${line}")
    string(REGEX REPLACE "[(].*" "" path "${path}")
    file(REAL_PATH "${path}" path)
    list(APPEND files "${path}")
  endforeach()
  list(REMOVE_DUPLICATES files)
  list(SORT files)
  execute_process(COMMAND dpkg -S ${files} OUTPUT_VARIABLE owners ERROR_QUIET)
  string(REGEX REPLACE "\n$" "" owners "${owners}")
  string(REPLACE "\n" ";" owners "${owners}")
  foreach(owner IN LISTS owners)
    string(REGEX MATCH "^([^:]+)(:[^:]+)?: (.*)$" owner "${owner}")
    set(package ${CMAKE_MATCH_1}${CMAKE_MATCH_2})
    list(APPEND linked ${package})
    list(APPEND files_${package} ${CMAKE_MATCH_3})
  endforeach()
  list(REMOVE_DUPLICATES linked)
  list(SORT linked)
endif()

foreach(artefact IN LISTS artefacts)
  list(FIND artefacts ${artefact} at)
  list(GET kinds ${at} kind)
  file(SHA256 ${packages}/${artefact} sum)
  string(UUID uuid NAMESPACE 6ba7b811-9dad-11d1-80b4-00c04fd430c8 NAME "${artefact} ${sum}"
         TYPE SHA1)
  json(name "${artefact}")
  json(v "${version}")
  set(purpose INSTALL)
  if(kind MATCHES "^(tarball|zip)$")
    set(purpose ARCHIVE)
  endif()
  set(doc "{}")
  string(JSON doc SET "${doc}" spdxVersion "\"SPDX-2.3\"")
  string(JSON doc SET "${doc}" dataLicense "\"CC0-1.0\"")
  string(JSON doc SET "${doc}" SPDXID "\"SPDXRef-DOCUMENT\"")
  string(JSON doc SET "${doc}" name "${name}")
  string(JSON doc SET "${doc}" documentNamespace "\"urn:uuid:${uuid}\"")
  string(JSON doc SET "${doc}" creationInfo
         "{\"created\": \"${created}\", \"creators\": [\"Organization: the tuition authors\", \"Tool: tuition's cmake/sbom.cmake\"]}")
  string(JSON doc SET "${doc}" documentDescribes "[\"SPDXRef-Artefact\"]")
  set(licence "\"licenseConcluded\": \"MIT\", \"licenseDeclared\": \"MIT\", \"copyrightText\": \"Copyright 2026 the tuition authors\"")
  set(ours "\"supplier\": \"Organization: the tuition authors\", \"downloadLocation\": \"NOASSERTION\", \"filesAnalyzed\": false")
  string(JSON doc SET "${doc}" packages "[]")
  string(JSON doc SET "${doc}" packages 0
         "{\"SPDXID\": \"SPDXRef-Artefact\", \"name\": ${name}, \"packageFileName\": ${name}, \"versionInfo\": ${v}, ${ours}, \"checksums\": [{\"algorithm\": \"SHA256\", \"checksumValue\": \"${sum}\"}], \"primaryPackagePurpose\": \"${purpose}\", ${licence}}")
  set(how "dynamically, with the system's C and C++ libraries")
  if(static OR triple MATCHES "mingw")
    set(how "statically")
  endif()
  json(comment "built for ${triple}, linked ${how}")
  string(JSON doc SET "${doc}" packages 1
         "{\"SPDXID\": \"SPDXRef-Program\", \"name\": \"tuition\", \"versionInfo\": ${v}, ${ours}, \"primaryPackagePurpose\": \"APPLICATION\", \"comment\": ${comment}, ${licence}}")
  string(JSON doc SET "${doc}" relationships "[]")
  string(JSON doc SET "${doc}" relationships 0
         "{\"spdxElementId\": \"SPDXRef-DOCUMENT\", \"relationshipType\": \"DESCRIBES\", \"relatedSpdxElement\": \"SPDXRef-Artefact\"}")
  string(JSON doc SET "${doc}" relationships 1
         "{\"spdxElementId\": \"SPDXRef-Artefact\", \"relationshipType\": \"CONTAINS\", \"relatedSpdxElement\": \"SPDXRef-Program\"}")

  if(kind STREQUAL "deb")
    # What the package depends on, as its control file says; the versions
    # are the system's to choose.
    execute_process(COMMAND dpkg-deb -f ${packages}/${artefact} Depends OUTPUT_VARIABLE depends
                    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    string(REPLACE ", " ";" depends "${depends}")
    set(relation DEPENDS_ON)
    set(others)
    foreach(depend IN LISTS depends)
      string(REGEX MATCH "^([^ ]+)( [(](.*)[)])?$" depend "${depend}")
      list(APPEND others "${CMAKE_MATCH_1}|${CMAKE_MATCH_3}|${debian}|||")
    endforeach()
  else()
    set(relation STATIC_LINK)
    set(others)
    foreach(package IN LISTS linked)
      execute_process(COMMAND dpkg-query -W
                              "-f=\${Package}|\${Version}|\${Architecture}|\${source:Package}|\${binary:Summary}"
                              ${package}
                      OUTPUT_VARIABLE known COMMAND_ERROR_IS_FATAL ANY)
      list(JOIN files_${package} ", " linked_files)
      list(APPEND others "${known}|${linked_files}")
    endforeach()
  endif()
  set(index 2)
  foreach(other IN LISTS others)
    string(REPLACE "|" ";" other "${other}")
    list(GET other 0 package)
    list(GET other 1 wanted)
    list(GET other 2 arch)
    list(GET other 3 source)
    list(GET other 4 summary)
    list(GET other 5 linked_files)
    json(n "${package}")
    if(relation STREQUAL "DEPENDS_ON")
      purl(locator ${package} "" ${arch})
      json(comment "required by the package as ${package} ${wanted}, the version the system's")
      set(fields "\"comment\": ${comment}")
    else()
      purl(locator ${package} ${wanted} ${arch})
      json(w "${wanted}")
      json(said "${summary}")
      json(from "Debian's source package ${source}")
      set(why "")
      if(package MATCHES "-cross$")
        set(why "; these are Debian's cross compiler's copies, which lag its own packages for \
${debian}: those were not installed at the C library's version where this was built, or \
Debian 12 has none (riscv64)")
      endif()
      json(comment "the files linked in: ${linked_files}${why}")
      set(fields "\"versionInfo\": ${w}, \"summary\": ${said}, \"sourceInfo\": ${from}, \"comment\": ${comment}")
    endif()
    string(MAKE_C_IDENTIFIER "${package}" id)
    string(REPLACE "_" "-" id "${id}")
    string(JSON doc SET "${doc}" packages ${index}
           "{\"SPDXID\": \"SPDXRef-Package-${id}\", \"name\": ${n}, ${fields}, \"supplier\": \"Organization: Debian\", \"downloadLocation\": \"NOASSERTION\", \"filesAnalyzed\": false, \"licenseConcluded\": \"NOASSERTION\", \"licenseDeclared\": \"NOASSERTION\", \"copyrightText\": \"NOASSERTION\", \"externalRefs\": [{\"referenceCategory\": \"PACKAGE-MANAGER\", \"referenceType\": \"purl\", \"referenceLocator\": \"${locator}\"}]}")
    string(JSON doc SET "${doc}" relationships ${index}
           "{\"spdxElementId\": \"SPDXRef-Program\", \"relationshipType\": \"${relation}\", \"relatedSpdxElement\": \"SPDXRef-Package-${id}\"}")
    math(EXPR index "${index} + 1")
  endforeach()
  file(WRITE ${packages}/${artefact}.spdx.json "${doc}\n")
endforeach()
