# bash completion for korvane-cli: commands, their options, and the plug-in keys of the Korvane
# folder for the commands that take keys.

_korvane_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local commands="sync list use unuse describe save-config load-config undo-load
                    command-line launch quickexec updates install"
    local i command="" folders=()
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        --korvane | --tribes)
            folders+=("${COMP_WORDS[i]}" "${COMP_WORDS[i + 1]}")
            ((i++))
            ;;
        -*) ;;
        *)
            command=${COMP_WORDS[i]}
            break
            ;;
        esac
    done

    case $prev in
    --korvane | --tribes)
        COMPREPLY=($(compgen -d -- "$cur"))
        return
        ;;
    --name | --category | --author | --description | --mod | --extra | --url | --version)
        return
        ;;
    esac

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--korvane --tribes --help --version" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        fi
        return
    fi

    local options=""
    case $command in
    list) options="--in-use --json" ;;
    describe) options="--name --category --author --description" ;;
    save-config) options="--name --store-directory" ;;
    command-line | launch) options="--dedicated --mod --extra" ;;
    quickexec) options="--set --dedicated --mod --extra" ;;
    updates | install) options="--url" ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
        return
    fi

    local list=(list)
    case $command in
    unuse) list+=(--in-use) ;&
    use | describe)
        # The first field of each line of the listing is the plug-in's key.
        local keys
        keys=$("${COMP_WORDS[0]}" "${folders[@]}" "${list[@]}" 2>/dev/null | cut -f1)
        COMPREPLY=($(compgen -W "$keys" -- "$cur"))
        ;;
    save-config | load-config)
        COMPREPLY=($(compgen -f -- "$cur"))
        ;;
    esac
}
complete -F _korvane_cli korvane-cli
