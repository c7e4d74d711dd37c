# bash completion for korvane-cli: commands, their options, folders, configuration files and the
# plug-in keys of the Korvane folder for the commands that take keys.
#
# Plug-in keys are file names that anyone who can write to storage (an update list, too) chooses.
# Nothing of the line or of a name is ever expanded, globbed or run: the line is split and unquoted
# here, candidates are matched by prefix in bash itself, and each is quoted as the shell reads it
# back.

# Splits line (up to the cursor) into words as the shell would, into the caller's words array,
# unquoted. Finished words get a leading ~ and $NAME or ${NAME} expanded; nothing else is (a
# command substitution stays text). For the last word, the one being completed, it also sets the
# caller's: anchor, how many of its characters lie before the text that completion replaces (the
# text after the last unquoted word-break character such as = or :, or after an open quote);
# context, the quoting there ("" none, \" or ' or $'); home, the expansion of its leading ~ or "".
_korvane_cli_split()
{
    local line=$1 n=${#1} i=0 c
    local raw="" open=""
    local -a raws=()
    # Raw words first: blanks outside quotes separate them.
    while ((i < n)); do
        c=${line:i:1}
        if [[ -n $open ]]; then
            raw+=$c
            if [[ $c == "${open: -1}" ]]; then
                open=""
            elif [[ $c == \\ && $open != "'" ]]; then
                raw+=${line:i+1:1}
                i=$((i + 1))
            fi
        elif [[ $c == \$ && ${line:i+1:1} == "'" ]]; then
            raw+="\$'"
            open="\$'"
            i=$((i + 1))
        else
            case $c in
            ' ' | $'\t' | $'\n')
                [[ -z $raw ]] || raws+=("$raw")
                raw=""
                ;;
            \\)
                raw+=$c${line:i+1:1}
                i=$((i + 1))
                ;;
            \' | \")
                raw+=$c
                open=$c
                ;;
            *) raw+=$c ;;
            esac
        fi
        i=$((i + 1))
    done
    raws+=("$raw")

    local breaks=${COMP_WORDBREAKS-$' \t\n"\'><=;|&(:'}
    local k last=$((${#raws[@]} - 1)) expand word next name opened_at=0 dollar
    words=()
    for ((k = 0; k <= last; k++)); do
        raw=${raws[k]} n=${#raw} word="" open="" i=0 expand=0 dollar=0
        ((k == last)) || expand=1
        home="" anchor=0 context=""
        # The current word's ~ is expanded only before a /: alone it may begin a key.
        # shellcheck disable=SC2088
        if [[ $raw == '~' && $expand == 1 || $raw == '~/'* ]]; then
            word=$HOME home=$HOME i=1
        fi
        while ((i < n)); do
            c=${raw:i:1} next=${raw:i+1:1}
            if [[ $open == "'" ]]; then
                if [[ $c == "'" ]]; then open=""; else word+=$c; fi
            elif [[ $open == "\$'" ]]; then
                if [[ $c == "'" ]]; then
                    open=""
                elif [[ $c == \\ && ${raw:i+1} =~ ^([0-7]{1,3}|x[0-9A-Fa-f]{1,2}|u[0-9A-Fa-f]{1,4}|U[0-9A-Fa-f]{1,8}|[abeEfnrtv]) ]]; then
                    # Only escapes matched here reach printf's format: no % among them.
                    # shellcheck disable=SC2059
                    printf -v c "\\${BASH_REMATCH[1]}"
                    word+=$c
                    i=$((i + ${#BASH_REMATCH[1]}))
                elif [[ $c == \\ && -n $next ]]; then
                    word+=$next
                    i=$((i + 1))
                else
                    word+=$c
                fi
            elif [[ $c == \\ ]]; then
                # Outside quotes any character is escaped; inside double quotes only these are.
                if [[ -z $open || $next == [\$\`\"\\] ]]; then
                    word+=$next
                    i=$((i + 1))
                else
                    word+=$c
                fi
            elif [[ $c == '"' ]]; then
                if [[ -z $open ]]; then
                    open='"' opened_at=${#word}
                else
                    open=""
                fi
            elif [[ -z $open && $c == "'" ]]; then
                open="'" opened_at=${#word}
            elif [[ -z $open && $c == \$ && $next == "'" ]]; then
                open="\$'" opened_at=${#word}
                i=$((i + 1))
            elif [[ $expand == 1 && $c == \$ && ${raw:i} =~ ^\$([A-Za-z_][A-Za-z0-9_]*|\{[A-Za-z_][A-Za-z0-9_]*\}) ]]; then
                name=${BASH_REMATCH[1]}
                i=$((i + ${#name}))
                name=${name#\{}
                name=${name%\}}
                word+=${!name-}
            else
                word+=$c
                # Readline replaces the text after the last word-break character outside quotes
                # ($( opens a command substitution, whose characters count as quoted).
                if [[ -z $open && $breaks == *"$c"* && ! ($c == '(' && $dollar == 1) ]]; then
                    anchor=${#word}
                fi
                [[ -n $open || $c != \$ ]] || dollar=2
            fi
            # 1 right after an unquoted $.
            dollar=$((dollar > 1 ? 1 : 0))
            i=$((i + 1))
        done
        # After a quote left open, readline replaces the text after it and closes the quote.
        if [[ -n $open ]]; then
            context=$open anchor=$opened_at
        fi
        words+=("$word")
    done
    return 0
}

# Appends to the caller's COMPREPLY each of the candidates (full words) that starts with the word
# being completed, as readline is to insert it in place of the text it replaces.
_korvane_cli_offer()
{
    local candidate tail quoted
    for candidate in "$@"; do
        [[ $candidate == "$current"* ]] || continue
        tail=${candidate:anchor}
        case $context in
        '')
            if [[ -n $home && $anchor -eq 0 && $tail == "$home"* ]]; then
                tail=${tail#"$home"}
                quoted="~"
                [[ -z $tail ]] || printf -v quoted '~%q' "$tail"
            elif [[ -z $tail ]]; then
                quoted=""
            else
                printf -v quoted '%q' "$tail"
            fi
            ;;
        \')
            quoted=${tail//\'/\'\\\'\'}
            ;;
        \")
            # A ! could start history expansion inside double quotes: it goes in single quotes.
            quoted=${tail//\\/\\\\}
            quoted=${quoted//\"/\\\"}
            quoted=${quoted//\$/\\\$}
            quoted=${quoted//\`/\\\`}
            quoted=${quoted//!/\"\'!\'\"}
            ;;
        *)
            quoted=${tail//\\/\\\\}
            quoted=${quoted//\'/\\\'}
            ;;
        esac
        COMPREPLY+=("$quoted")
    done
    return 0
}

# The files (or folders only) whose path starts with prefix; folders end in /.
_korvane_cli_paths()
{
    local prefix=$1 folders_only=$2 path
    local nullglob=0 failglob=0
    shopt -q nullglob && nullglob=1
    shopt -q failglob && failglob=1
    shopt -s nullglob
    shopt -u failglob
    local -a found=("$prefix"*)
    ((nullglob)) || shopt -u nullglob
    ((failglob == 0)) || shopt -s failglob
    paths=()
    for path in "${found[@]}"; do
        [[ ${path##*/} == . || ${path##*/} == .. ]] && continue
        if [[ -d $path ]]; then
            paths+=("$path/")
        elif [[ $folders_only == 0 ]]; then
            paths+=("$path")
        fi
    done
    return 0
}

# Offers the paths for the word being completed after lead (--korvane= or nothing).
_korvane_cli_offer_paths()
{
    local lead=$1 folders_only=$2 path
    local -a paths candidates=()
    _korvane_cli_paths "${current#"$lead"}" "$folders_only"
    for path in "${paths[@]}"; do
        candidates+=("$lead$path")
    done
    _korvane_cli_offer "${candidates[@]}"
    # A folder is completed further inside it, not ended with a blank.
    if [[ ${#COMPREPLY[@]} -eq 1 && ${candidates[0]: -1} == / ]]; then
        compopt -o nospace 2>/dev/null
    fi
    return 0
}

_korvane_cli()
{
    COMPREPLY=()
    local -a words
    local anchor context home
    _korvane_cli_split "${COMP_LINE:0:COMP_POINT}"
    local current=${words[-1]} count=$((${#words[@]} - 1))
    local previous=""
    ((count < 1)) || previous=${words[count - 1]}

    # The options before the command, then the command.
    local i command="" command_at=0 word
    local -a folders=()
    for ((i = 1; i < count; i++)); do
        word=${words[i]}
        case $word in
        --korvane | --tribes)
            ((i + 1 < count)) && folders+=("$word" "${words[i + 1]}")
            i=$((i + 1))
            ;;
        --korvane=* | --tribes=*) folders+=("$word") ;;
        -*) ;;
        *)
            command=$word command_at=$i
            break
            ;;
        esac
    done

    if [[ -z $command ]]; then
        case $previous in
        --korvane | --tribes)
            _korvane_cli_offer_paths "" 1
            return 0
            ;;
        esac
        case $current in
        --korvane=* | --tribes=*)
            _korvane_cli_offer_paths "${current%%=*}=" 1
            ;;
        -*) _korvane_cli_offer --korvane --tribes --help --version ;;
        *)
            _korvane_cli_offer sync list use unuse describe conflicts save-config load-config \
                undo-load command-line launch quickexec updates install hold release
            ;;
        esac
        return 0
    fi

    case $previous in
    --name | --category | --author | --description | --mod | --extra | --url | --key)
        return 0
        ;;
    esac
    # The arguments given so far; after -- every word is one, even one that starts with a dash.
    local arguments_only=0 arguments=0
    for ((i = command_at + 1; i < count; i++)); do
        word=${words[i]}
        if ((arguments_only)) || [[ $word != -* ]]; then
            arguments=$((arguments + 1))
        elif [[ $word == -- ]]; then
            arguments_only=1
        elif [[ $word == --@(name|category|author|description|mod|extra|url|key) ]]; then
            i=$((i + 1))
        fi
    done
    if [[ $arguments_only == 0 && $current == -* ]]; then
        local -a options=()
        case $command in
        list) options=(--in-use --json) ;;
        conflicts) options=(--json) ;;
        describe) options=(--name --category --author --description) ;;
        save-config) options=(--name --store-directory) ;;
        command-line | launch) options=(--dedicated --mod --extra) ;;
        quickexec) options=(--set --dedicated --mod --extra) ;;
        updates) options=(--url --key --files) ;;
        install) options=(--url --key --keep-mine --use-storage --include-held) ;;
        unuse | load-config | undo-load) options=(--keep-mine --use-storage) ;;
        esac
        _korvane_cli_offer "${options[@]}" --help
        return 0
    fi

    # These take one argument.
    [[ $arguments -gt 0 && $command == @(describe|save-config|load-config) ]] && return 0
    local -a list=(list)
    case $command in
    unuse) list+=(--in-use) ;&
    use | describe | hold | release)
        # The first field of each line of the listing is a key; keys hold no tab or line break.
        local key
        local -a keys=()
        while IFS=$'\t' read -r key _; do
            [[ $arguments_only == 1 || $key != -* ]] && keys+=("$key")
        done < <("${words[0]}" "${folders[@]}" "${list[@]}" 2>/dev/null)
        _korvane_cli_offer "${keys[@]}"
        ;;
    save-config | load-config)
        _korvane_cli_offer_paths "" 0
        ;;
    esac
    return 0
}
complete -F _korvane_cli korvane-cli
