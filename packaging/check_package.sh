#!/usr/bin/env bash
# Builds the Debian package with CPack, unpacks it and checks it the way a desktop and Debian
# will use it: every file at its place, the desktop entry and the AppStream metainfo valid and
# pointing at each other, the changelog and metainfo naming this version, the dependencies on
# Qt, hardened binaries naming no build folder, no ldconfig, and no lintian error or warning.
#
# usage: check_package.sh CPACK CPACK_CONFIG SCRATCH_DIR PACKAGE VERSION APP_ID SOURCE_DIR
#                         BUILD_DIR PROTECTIONS (from cmake/hardening.cmake, comma-separated)
set -uo pipefail

if [ "$#" -ne 9 ]; then
    echo "usage: $0 CPACK CPACK_CONFIG SCRATCH_DIR PACKAGE VERSION APP_ID SOURCE_DIR BUILD_DIR PROTECTIONS" >&2
    exit 2
fi
cpack=$1 config=$2 scratch=$3 package=$4 version=$5 app_id=$6 source_dir=$7 build_dir=$8
protections=$9

failures=0
fail() {
    echo "ÉCHEC : $*"
    failures=$((failures + 1))
}
need() { # need TOOL DEBIAN-PACKAGE
    if ! command -v "$1" >/dev/null 2>&1; then
        echo "ÉCHEC : $1 est introuvable (paquet Debian $2, voir scripts/setup.sh)"
        exit 1
    fi
}
need dpkg-deb dpkg
need dpkg-shlibdeps dpkg-dev
need dpkg-parsechangelog dpkg-dev
need file file
need desktop-file-validate desktop-file-utils
need appstreamcli appstream
need xmllint libxml2-utils
need hardening-check devscripts

umask 022
rm -rf "$scratch"
mkdir -p "$scratch/out" "$scratch/root"

# --- The package ------------------------------------------------------------------------------
if ! "$cpack" --config "$config" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log"
    echo "ÉCHEC : cpack n'a pas construit le paquet"
    exit 1
fi
arch=$(dpkg --print-architecture)
deb=$scratch/out/${package}_${version}_${arch}.deb
if [ ! -f "$deb" ]; then
    ls -l "$scratch/out"
    echo "ÉCHEC : $deb n'a pas été produit"
    exit 1
fi
echo "Paquet : $(basename "$deb") ($(stat -c %s "$deb") octets)"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = "$package" ] || fail "Package: $(field Package), attendu $package"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), attendu $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
case "$(field Section)" in
    science | education) ;;
    *) fail "Section: '$(field Section)', attendu science ou education" ;;
esac
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] ||
    fail "Maintainer: '$(field Maintainer)' n'est pas de la forme « Nom <adresse> »"
[ -n "$(field Description)" ] || fail "pas de Description"

depends=$(field Depends)
echo "Depends: $depends"
# Each library the executable is linked with must appear, with a version from dpkg-shlibdeps.
# (Qt Svg comes through libqt6svgwidgets6, which the circuit picture is drawn with; the curve is
# drawn with QCustomPlot.)
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6svgwidgets6 \
    libqcustomplot2.1-qt6; do
    pattern=$(sed 's/[+.]/\\&/g' <<<"$lib")
    if ! grep -Eq "(^|, )$pattern \(>= [^)]+\)" <<<"$depends"; then
        fail "Depends ne nomme pas $lib avec sa version minimale"
    fi
done
grep -Eq "(^|, )qt6-translations-l10n(,|$)" <<<"$(field Recommends)" ||
    fail "Recommends ne nomme pas qt6-translations-l10n"

# Nothing outside /usr, and nothing from the build or the tests slipped into the package.
# The curve's drawing is a module of the program's own under /usr/lib.
unexpected=$(dpkg-deb -c "$deb" | awk '{print $6}' |
    grep -Ev '^\./$|^\./usr/$|^\./usr/(bin|share)/|^\./usr/lib/$|^\./usr/lib/([^/]+/)?(thermometre/.*)?$' ||
    true)
[ -z "$unexpected" ] || fail "fichiers hors de /usr/bin, /usr/share et du dossier du programme sous /usr/lib : $unexpected"
# Every file and folder owned by root, none writable by the group or others.
bad_modes=$(dpkg-deb -c "$deb" | awk '$2 != "root/root" || $1 ~ /^.{5}w|^.{8}w/ {print}')
[ -z "$bad_modes" ] || fail "propriétaire ou droits incorrects : $bad_modes"

# --- The unpacked files -----------------------------------------------------------------------
root=$scratch/root
dpkg -x "$deb" "$root"

exe=$root/usr/bin/thermometre
desktop=$root/usr/share/applications/$app_id.desktop
icon=$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
mime=$root/usr/share/mime/packages/thermometre.xml
docdir=$root/usr/share/doc/$package
for f in "$exe" "$desktop" "$icon" "$metainfo" "$mime" \
    "$root/usr/share/man/man1/thermometre.1.gz" "$root/usr/share/man/fr/man1/thermometre.1.gz" \
    "$docdir/copyright" "$docdir/changelog.gz"; do
    [ -f "$f" ] || fail "absent du paquet : ${f#"$root"}"
done

module=$(find "$root/usr/lib" -path '*/thermometre/libthermo_curve_plot.so' 2>/dev/null | head -n 1)
[ -n "$module" ] || fail "absent du paquet : le module de la courbe, libthermo_curve_plot.so"

if [ -f "$exe" ]; then
    [ -x "$exe" ] || fail "/usr/bin/thermometre n'est pas exécutable"
    description=$(file -b "$exe")
    [[ "$description" == ELF* ]] || fail "/usr/bin/thermometre n'est pas un ELF : $description"
    [[ "$description" == *", stripped"* ]] || fail "/usr/bin/thermometre n'est pas strippé : $description"
fi

if [ -f "$desktop" ]; then
    echo "--- desktop-file-validate"
    if ! desktop-file-validate "$desktop"; then
        fail "desktop-file-validate signale des erreurs"
    fi
    entry() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
    exec_cmd=$(entry Exec)
    [ -x "$root/usr/bin/${exec_cmd%% *}" ] || fail "Exec=$exec_cmd ne désigne pas un programme du paquet"
    [ "$(entry Icon)" = "$app_id" ] || fail "Icon=$(entry Icon), attendu $app_id"
    [ "$(entry Terminal)" = false ] || fail "Terminal=$(entry Terminal), attendu false"
    [ "$(entry 'Name\[fr\]')" = "Thermomètre" ] || fail "Name[fr]=$(entry 'Name\[fr\]')"
    for category in Education Science Physics; do
        [[ ";$(entry Categories)" == *";$category;"* ]] || fail "Categories sans $category"
    done
fi

# The séance files' type: described for shared-mime-info and opened by the desktop entry.
if [ -f "$mime" ]; then
    xmllint --noout "$mime" || fail "le type MIME des séances n'est pas un XML bien formé"
    mime_type=$(xmllint --xpath 'string(//*[local-name()="mime-type"]/@type)' "$mime" 2>/dev/null)
    [ "$(xmllint --xpath 'string(//*[local-name()="glob"]/@pattern)' "$mime" 2>/dev/null)" = "*.thermo" ] ||
        fail "le type MIME des séances ne reconnaît pas *.thermo"
    [[ ";$(sed -n 's/^MimeType=//p' "$desktop");" == *";$mime_type;"* ]] ||
        fail "l'entrée de bureau n'ouvre pas le type $mime_type"
fi

if [ -f "$icon" ]; then
    xmllint --noout "$icon" || fail "l'icône n'est pas un fichier XML bien formé"
    [ "$(xmllint --xpath 'local-name(/*)' "$icon" 2>/dev/null)" = svg ] ||
        fail "l'icône n'est pas un dessin SVG"
    [ -n "$(xmllint --xpath 'string(/*/@viewBox)' "$icon" 2>/dev/null)" ] ||
        fail "l'icône n'a pas de viewBox : elle ne se mettrait pas à l'échelle"
fi

if [ -f "$metainfo" ]; then
    echo "--- appstreamcli validate --no-net"
    if ! appstreamcli validate --no-net --pedantic "$metainfo"; then
        fail "appstreamcli validate signale des erreurs"
    fi
    # The whole tree, as a software centre reads it: metainfo, desktop entry and icon together.
    echo "--- appstreamcli validate-tree --no-net"
    if ! appstreamcli validate-tree --no-net --pedantic "$root"; then
        fail "appstreamcli validate-tree signale des erreurs"
    fi
    xpath() { xmllint --xpath "$1" "$metainfo" 2>/dev/null; }
    [ "$(xpath 'string(/component/id)')" = "$app_id" ] || fail "l'id de la metainfo n'est pas $app_id"
    [ "$(xpath 'string(/component/launchable[@type="desktop-id"])')" = "$app_id.desktop" ] ||
        fail "la metainfo ne lance pas $app_id.desktop"
    [ "$(xpath 'string(/component/releases/release[1]/@version)')" = "$version" ] ||
        fail "la dernière version dans la metainfo est $(xpath 'string(/component/releases/release[1]/@version)'), pas $version"
    [ -n "$(xpath 'string(/component/description/p[@xml:lang="fr"])')" ] ||
        fail "la metainfo n'a pas de description en français"
fi

if [ -f "$docdir/changelog.gz" ]; then
    changelog_version=$(zcat "$docdir/changelog.gz" | dpkg-parsechangelog -l - -S Version 2>&1)
    [ "$changelog_version" = "$version" ] ||
        fail "la dernière entrée du changelog est $changelog_version, pas $version"
fi

# --- Maintainer scripts and hardening --------------------------------------------------------
dpkg-deb -e "$deb" "$scratch/control"
! grep -q ldconfig "$scratch"/control/* || fail "un script du paquet appelle ldconfig : ses modules sont privés"
commands=$(grep '"command":' "$build_dir/compile_commands.json") || fail "aucune commande de compilation"
for flag in -fstack-protector-strong -D_FORTIFY_SOURCE=2 ${protections//,/ }; do
    [[ "$flag" != -* ]] || ! grep -vq -- "$flag" <<<"$commands" || fail "des fichiers sont compilés sans $flag"
done
# Each ELF file as hardening-check sees it: PIE for the program only; memcpy, memmove, memset
# unfortified where their size is unknown; stack-clash probes only in large frames (flag above).
elves=0
while IFS= read -r -d '' file; do
    [[ "$(file -b "$file")" == ELF* ]] || continue
    elves=$((elves + 1)) report=$(hardening-check --verbose "$file" 2>&1); echo "$report"
    lines=("Stack protected: yes" "Read-only relocations: yes" "Immediate binding: yes")
    [ "$file" != "$exe" ] || lines+=("Position Independent Executable: yes")
    [[ ",$protections," != *,control-flow-marked,* ]] || lines+=("Control flow integrity: yes")
    for line in "${lines[@]}"; do
        grep -qx " $line" <<<"$report" || fail "hardening-check ${file#"$root"} : « $line » attendu"
    done
    if grep -q '^ Fortify Source functions: no' <<<"$report" &&
        sed -n 's/^\tunprotected: //p' <<<"$report" | grep -Evxq 'memcpy|memmove|memset'; then
        fail "hardening-check ${file#"$root"} : des fonctions fortifiables ne le sont pas"
    fi
    # A folder of the build named in an installed binary could be recreated by another user.
    ! strings -a "$file" | grep -Fq -e "$source_dir" -e "$build_dir" ||
        fail "${file#"$root"} nomme un dossier de la construction"
done < <(find "$root" -type f -print0)
[ "$elves" -ge 2 ] || fail "$elves fichier(s) ELF dans le paquet, attendu le programme et son module"

# --- lintian ----------------------------------------------------------------------------------
if command -v lintian >/dev/null 2>&1; then
    echo "--- lintian"
    lintian --tag-display-limit 0 --display-info --pedantic --show-overrides "$deb" >"$scratch/lintian.log" 2>&1
    lintian_status=$?
    cat "$scratch/lintian.log"
    if grep -q '^[EW]: ' "$scratch/lintian.log"; then
        fail "lintian signale des erreurs ou des avertissements"
    elif [ "$lintian_status" -ne 0 ] && ! grep -q '^[WIP]: ' "$scratch/lintian.log"; then
        fail "lintian s'est arrêté sur le code $lintian_status"
    fi
else
    echo "lintian n'est pas installé : paquet non examiné par lintian"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures échec(s)"
    exit 1
fi
echo "Paquet $package $version conforme"
