# Makes, from the artefacts that the records in GATHERED name, the two
# repositories through which users install tuition by name and take each new
# version as an upgrade: folders under REPOSITORIES, to be served as they are
# from any web server, each signed with the OpenPGP key SIGNING_KEY where the
# build is given one (signing.cmake), and holding its public key,
# tuition-signing-key.asc:
# - apt/: the Debian packages of every CPU, in the suite stable, component
#   main: pool/main/ holds them, dists/stable/ an index for each architecture
#   and Release, signed as InRelease and Release.gpg;
# - rpm/: the RPM packages, with repodata/repomd.xml signed as repomd.xml.asc.
# Every time they hold is the artefacts' (TIME_FILE), so that the same key
# makes the same bytes. Run by the package preset's build once SHA256SUMS is
# made, as
#
#   cmake -DGATHERED=... -DREPOSITORIES=... -DTIME_FILE=... [-DSIGNING_KEY=...]
#         -P repositories.cmake
include(${TIME_FILE})
set(time $ENV{SOURCE_DATE_EPOCH})
if(SIGNING_KEY)
  include(${CMAKE_CURRENT_LIST_DIR}/openpgp.cmake)
  openpgp_time(signed ${SIGNING_KEY} ${time})
endif()

# The records' artefacts, by kind.
file(STRINGS ${GATHERED} records)
list(POP_FRONT records)
set(debs)
set(rpms)
set(architectures)
foreach(record IN LISTS records)
  string(REPLACE "\t" ";" record "${record}")
  list(GET record 1 packages)
  list(GET record 3 debian)
  list(GET record 10 artefacts)
  string(REPLACE "," ";" artefacts "${artefacts}")
  foreach(artefact IN LISTS artefacts)
    if(artefact MATCHES "[.]deb$")
      list(APPEND debs ${packages}/${artefact})
      list(APPEND architectures ${debian})
    elseif(artefact MATCHES "[.]rpm$")
      list(APPEND rpms ${packages}/${artefact})
    endif()
  endforeach()
endforeach()

set(apt ${REPOSITORIES}/apt)
file(REMOVE_RECURSE ${apt})
file(MAKE_DIRECTORY ${apt}/pool/main ${apt}/dists/stable/main)
file(COPY ${debs} DESTINATION ${apt}/pool/main)
file(GLOB copied ${apt}/pool/main/*)
execute_process(COMMAND touch -d @${time} ${copied} COMMAND_ERROR_IS_FATAL ANY)
list(SORT architectures)
list(REMOVE_DUPLICATES architectures)
foreach(architecture IN LISTS architectures)
  set(index ${apt}/dists/stable/main/binary-${architecture})
  file(MAKE_DIRECTORY ${index})
  execute_process(COMMAND apt-ftparchive --arch ${architecture} packages pool/main
                  WORKING_DIRECTORY ${apt} OUTPUT_FILE ${index}/Packages
                  COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND gzip -9nk ${index}/Packages COMMAND_ERROR_IS_FATAL ANY)
endforeach()
# apt-ftparchive dates the Release by the clock: the clock is stopped at the
# artefacts' time.
list(JOIN architectures " " architectures)
string(TIMESTAMP clock "%Y-%m-%d %H:%M:%S" UTC)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env TZ=UTC faketime -f "@${clock}"
          apt-ftparchive -o APT::FTPArchive::Release::Origin=tuition
          -o APT::FTPArchive::Release::Label=tuition -o APT::FTPArchive::Release::Suite=stable
          -o APT::FTPArchive::Release::Codename=stable
          -o "APT::FTPArchive::Release::Architectures=${architectures}"
          -o APT::FTPArchive::Release::Components=main
          "-o APT::FTPArchive::Release::Description=tuition, record the payment of one person's tuition"
          release dists/stable
  WORKING_DIRECTORY ${apt} OUTPUT_FILE ${apt}/Release COMMAND_ERROR_IS_FATAL ANY)
file(RENAME ${apt}/Release ${apt}/dists/stable/Release)
if(SIGNING_KEY)
  openpgp_sign(${SIGNING_KEY} ${signed} --clearsign -o ${apt}/dists/stable/InRelease
               ${apt}/dists/stable/Release)
  openpgp_sign(${SIGNING_KEY} ${signed} --armor --detach-sign -o ${apt}/dists/stable/Release.gpg
               ${apt}/dists/stable/Release)
endif()
if(SIGNING_KEY)
  openpgp_export(${SIGNING_KEY} ${apt}/tuition-signing-key.asc)
endif()

set(rpm ${REPOSITORIES}/rpm)
file(REMOVE_RECURSE ${rpm})
file(MAKE_DIRECTORY ${rpm})
if(rpms)
  # createrepo_c records each package's time as its file's.
  file(COPY ${rpms} DESTINATION ${rpm})
  file(GLOB copied ${rpm}/*.rpm)
  execute_process(COMMAND touch -d @${time} ${copied} COMMAND_ERROR_IS_FATAL ANY)
endif()
execute_process(COMMAND createrepo_c --quiet --no-database --revision ${time}
                        --set-timestamp-to-revision ${rpm}
                COMMAND_ERROR_IS_FATAL ANY)
if(SIGNING_KEY)
  openpgp_sign(${SIGNING_KEY} ${signed} --armor --detach-sign -o ${rpm}/repodata/repomd.xml.asc
               ${rpm}/repodata/repomd.xml)
endif()
if(SIGNING_KEY)
  openpgp_export(${SIGNING_KEY} ${rpm}/tuition-signing-key.asc)
endif()
